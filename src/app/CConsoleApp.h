#pragma once

#include "app/PlatformTranslations.h"

#include <memory>

namespace lumora {

namespace hw {
class FtdiDriver;
}

// The application: runs the main dialog once, modally, with the driver chosen at start-up, and
// answers F1 in any dialog with the help file beside the executable. While it lives, Qt's own texts
// follow the desktop's language. Made after the application object.
class CConsoleApp {
public:
    CConsoleApp(std::unique_ptr<hw::FtdiDriver> driver, const QLocale& desktopLanguage);
    ~CConsoleApp();
    CConsoleApp(const CConsoleApp&) = delete;
    CConsoleApp& operator=(const CConsoleApp&) = delete;

    // Runs the console until its dialog ends; SIGINT, SIGTERM and SIGHUP, or on Windows the end of
    // the session, end it as the dialog's close command does. Returns false: the application then ends
    // instead of entering a message loop of its own.
    bool startUp();

    // The help command: opens "<executable>.HLP" from the executable's folder at a context, or says
    // "도움말 시작 실패." when it cannot.
    static void showHelp(int helpContext);

    // Makes the dialogs' static icons and F1 work; startUp does it, tests that build dialogs
    // without the application call it themselves.
    static void installDialogServices();

private:
    std::unique_ptr<hw::FtdiDriver> driver_;
    PlatformTranslations translations_;
};

} // namespace lumora
