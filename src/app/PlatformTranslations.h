#pragma once

#include <QTranslator>

class QLocale;

namespace lumora {

// Qt's own texts (the buttons of message boxes, the edit boxes' context menu) in a desktop
// language, as the platform shows its own texts in the desktop's language. The console's texts are
// Korean whatever the language. Installed while the object lives; a language without Qt's
// translations leaves Qt's English texts.
//
// Runs on the user-interface thread, after the application object exists.
class PlatformTranslations {
public:
    explicit PlatformTranslations(const QLocale& locale);
    ~PlatformTranslations();
    PlatformTranslations(const PlatformTranslations&) = delete;
    PlatformTranslations& operator=(const PlatformTranslations&) = delete;

private:
    QTranslator translator_;
    bool installed_ = false;
};

} // namespace lumora
