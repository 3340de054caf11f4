#pragma once

namespace lumora::resources {

// Resource ids, numbered as the executable's resources number them.
inline constexpr int kAboutDialogId = 100;
inline constexpr int kAboutMenuStringId = 101;
inline constexpr int kMainDialogId = 102;
inline constexpr int kApplicationIconId = 128;

// The command that the About entry of the main dialog's system menu sends.
inline constexpr int kAboutCommandId = 16;

// The About box's button carries dialogkit::kIdOk, so that it ends the About box, and EXIT(&X)
// carries dialogkit::kIdCancel, so that it ends the main dialog without a handler of its own.

// Static texts and the About box's icon are never addressed by code and share this id.
inline constexpr int kNoControlId = -1;

// Controls of the main dialog outside the channel strips (the strips are in StripTable.h).
inline constexpr int kOpenButton = 1002;
inline constexpr int kCloseButton = 1003;
inline constexpr int kClearButton = 1004;
inline constexpr int kLogoButton = 1065;
inline constexpr int kPageSlider = 1073;
inline constexpr int kPortSelector = 1077;

} // namespace lumora::resources
