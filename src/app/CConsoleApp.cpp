#include "app/CConsoleApp.h"

#include "app/CMainDialog.h"
#include "app/DialogCloser.h"
#include "app/ShellOpen.h"
#if defined(_WIN32)
#include "app/SessionEndFilter.h"
#else
#include "app/TerminationSignals.h"
#endif
#include "dialogkit/MessageBox.h"
#include "dialogkit/Utf8Text.h"
#include "hw/FtdiDriver.h"
#include "resources/ControlIds.h"
#include "resources/ImageResources.h"
#include "resources/OperatorMessages.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace lumora {

namespace {

QString helpFilePath() {
    const QFileInfo executable(QCoreApplication::applicationFilePath());
    return executable.dir().filePath(executable.completeBaseName() + QStringLiteral(".HLP"));
}

} // namespace

CConsoleApp::CConsoleApp(std::unique_ptr<hw::FtdiDriver> driver, const QLocale& desktopLanguage)
    : driver_(std::move(driver))
    , translations_(desktopLanguage) {}

CConsoleApp::~CConsoleApp() = default;

void CConsoleApp::installDialogServices() {
    dialogkit::Dialog::setIconLoader([](int iconId) {
        return iconId == resources::kApplicationIconId ? resources::applicationIcon() : QIcon();
    });
    dialogkit::Dialog::setHelpHandler(&CConsoleApp::showHelp);
}

bool CConsoleApp::startUp() {
    installDialogServices();
    // A Wayland desktop finds the window's entry, and with it the icon and name on its task bar, by
    // this name, given before the first window; it is the installed desktop entry's.
    QGuiApplication::setDesktopFileName(QStringLiteral("example.lumora.dmx"));
    CMainDialog dialog(*driver_);
    // Ctrl+C, kill and a closed terminal, or on Windows the end of the session, end the console as
    // its close command does, so output stops between frames and the adapter is closed. Without the
    // signal handlers the console still runs.
    DialogCloser closer(dialog);
#if defined(_WIN32)
    const SessionEndFilter sessionEnd([&closer] { closer.closeNow(); });
#else
    TerminationSignals termination([&closer] { closer.request(); });
    termination.install();
#endif
    dialog.doModal();
    return false;
}

void CConsoleApp::showHelp(int helpContext) {
    // The desktop has no help viewer that takes a context; the file is opened as a whole.
    static_cast<void>(helpContext);
    const QString path = helpFilePath();
    if (!QFileInfo::exists(path) || !shellOpen(QUrl::fromLocalFile(path))) {
        dialogkit::messageBox(QApplication::activeModalWidget(),
                              dialogkit::utf8Text(resources::kHelpFailedMessage));
    }
}

} // namespace lumora
