#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

namespace lumora::resources {

// Icon 128 as stored: 32 x 32 pixels, colour with a one-bit alpha. Works without a QGuiApplication.
QImage applicationIconImage();
// Icon 128 for the window icons and the About box. Needs a QGuiApplication.
QIcon applicationIcon();

// Bitmap 136 as stored: 143 x 43 pixels, 8-bit indexed. Works without a QGuiApplication.
QImage logoImage();
// Bitmap 136 for the logo button, at its own size. Needs a QGuiApplication.
QPixmap logoBitmap();

} // namespace lumora::resources
