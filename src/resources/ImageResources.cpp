#include "resources/ImageResources.h"

namespace lumora::resources {
namespace {

// Paths inside the Qt resource tree that CMakeLists.txt compiles into the library.
constexpr auto kApplicationIconPath = ":/lumora/application-icon.png";
constexpr auto kLogoBitmapPath = ":/lumora/logo.bmp";

} // namespace

QImage applicationIconImage() {
    return QImage(QString::fromLatin1(kApplicationIconPath));
}

QIcon applicationIcon() {
    return QIcon(QPixmap::fromImage(applicationIconImage()));
}

QImage logoImage() {
    return QImage(QString::fromLatin1(kLogoBitmapPath));
}

QPixmap logoBitmap() {
    return QPixmap::fromImage(logoImage());
}

} // namespace lumora::resources
