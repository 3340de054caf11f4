#include "app/PlatformTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

namespace lumora {

PlatformTranslations::PlatformTranslations(const QLocale& locale) {
    // qtbase_<language> from the folder where the system keeps Qt's translations (Debian's
    // qt6-translations-l10n); the locale's languages are tried in the desktop's order of preference.
    if (translator_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        installed_ = QCoreApplication::installTranslator(&translator_);
    }
}

PlatformTranslations::~PlatformTranslations() {
    if (installed_) {
        QCoreApplication::removeTranslator(&translator_);
    }
}

} // namespace lumora
