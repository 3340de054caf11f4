#pragma once

#include <string_view>

namespace lumora::resources {

// The console's messages to the operator, each written whole, as the message box shows it.
inline constexpr std::string_view kAdapterNotFoundMessage = "FT232R USB UART 장치를 찾지 못했습니다.";
inline constexpr std::string_view kDeviceListUnreadableMessage = "포트를 찾을 수 없습니다.";
inline constexpr std::string_view kPortOpenFailedMessage = "USB 통신 포트를 여는데 실패했습니다";
inline constexpr std::string_view kHelpFailedMessage = "도움말 시작 실패.";

} // namespace lumora::resources
