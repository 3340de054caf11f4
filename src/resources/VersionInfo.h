#pragma once

#include "resources/ProjectVersion.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace lumora::resources {

// The version resource: a fixed part and one string table, its numbers from the project's version.
// Kept as data so that the About box and a Windows build read the same values.
struct VersionInfo {
    std::array<std::uint16_t, 4> fileVersion;
    std::array<std::uint16_t, 4> productVersion;
    std::uint32_t fileFlags;
    std::uint32_t fileOs;   // VOS__WINDOWS32
    std::uint32_t fileType; // VFT_APP
    std::uint16_t language; // Korean
    std::uint16_t codePage; // UTF-16
    std::string_view stringTableKey;
    std::string_view companyName;
    std::string_view fileDescription;
    std::string_view fileVersionText;
    std::string_view internalName;
    std::string_view legalCopyright;
    std::string_view legalTrademarks;
    std::string_view originalFilename;
    std::string_view productName;
    std::string_view productVersionText;
    std::string_view comments;
    std::string_view privateBuild;
    std::string_view specialBuild;
};

inline constexpr std::uint16_t kResourceLanguage = 0x0412;

inline constexpr VersionInfo kVersionInfo{
    .fileVersion = kProjectVersion,
    .productVersion = kProjectVersion,
    .fileFlags = 0,
    .fileOs = 0x00000004,
    .fileType = 0x00000001,
    .language = kResourceLanguage,
    .codePage = 0x04B0,
    .stringTableKey = "041204b0",
    .companyName = "Lumora",
    .fileDescription = "Lumora DMX 조명 콘솔",
    .fileVersionText = kProjectVersionText,
    .internalName = "Lumora DMX",
    .legalCopyright = "Copyright (C) 2026 Lumora",
    .legalTrademarks = "",
    .originalFilename = "Lumora DMX.EXE",
    .productName = "DMX 응용 프로그램",
    .productVersionText = kProjectVersionText,
    .comments = "DMX512 조명 장비 시험용 콘솔",
    .privateBuild = "",
    .specialBuild = "",
};

} // namespace lumora::resources
