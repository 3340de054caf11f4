#pragma once

#include <QString>

#include <string_view>

namespace lumora::dialogkit {

// Template texts are UTF-8.
inline QString templateText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace lumora::dialogkit
