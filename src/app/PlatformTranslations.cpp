#include "app/PlatformTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace lumora {

namespace {

// Linux keeps Qt's translations where the system's Qt is (Debian's qt6-translations-l10n); Windows
// has no system Qt, and the program carries them in the translations folder beside it.
QString qtTranslationsFolder() {
#if defined(_WIN32)
    return QCoreApplication::applicationDirPath() + QStringLiteral("/translations");
#else
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#endif
}

} // namespace

PlatformTranslations::PlatformTranslations(const QLocale& locale) {
    // qtbase_<language>, the locale's languages tried in the desktop's order of preference.
    if (translator_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), qtTranslationsFolder())) {
        installed_ = QCoreApplication::installTranslator(&translator_);
    }
}

PlatformTranslations::~PlatformTranslations() {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

} // namespace lumora
