#pragma once

#include <QString>

#include <string_view>

namespace lumora::dialogkit {

// Template texts, string resources and messages are UTF-8; this is the one way they become
// QStrings.
inline QString utf8Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace lumora::dialogkit
