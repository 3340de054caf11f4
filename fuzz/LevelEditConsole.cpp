#include "LevelEditConsole.h"

#include "app/CConsoleApp.h"
#include "app/CMainDialog.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/MessageBox.h"
#include "dialogkit/Trackbar.h"
#include "resources/ControlIds.h"
#include "resources/StripTable.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace lumora::fuzz {

namespace {

void dropQtMessages(QtMsgType type, const QMessageLogContext& /*context*/, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
        std::abort();
    }
}

// The fuzzer's own process has no application yet; a test that replays inputs brings its own.
void ensureApplication() {
    if (QApplication::instance() != nullptr) {
        return;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" LUMORA_OFFSCREEN_CONFIG);
    }
    static int argc = 1;
    static char name[] = "fuzz_level_edit";
    static char* argv[] = {name, nullptr};
    // Never deleted: the fuzzer ends the process without returning, and the dialogs live as long.
    new QApplication(argc, argv);
}

} // namespace

void LevelEditConsole::showPage(CMainDialog& dialog, int first) {
    // The silent move sets up a key press that arrives at the wanted page as the operator's move.
    dialogkit::Trackbar* slider = dialog.controlAs<dialogkit::Trackbar>(resources::kPageSlider);
    slider->setPosition(first > 0 ? first - 1 : 1);
    QTest::keyClick(slider, first > 0 ? Qt::Key_Right : Qt::Key_Left);
}

LevelEditConsole& LevelEditConsole::instance() {
    ensureApplication();
    static LevelEditConsole* const console = new LevelEditConsole;
    return *console;
}

LevelEditConsole::LevelEditConsole() {
    qInstallMessageHandler(dropQtMessages);
    CConsoleApp::installDialogServices();
    dialogkit::setMessageBoxPresenter([this](const dialogkit::MessageBoxRequest& /*request*/) {
        ++boxes_;
        return dialogkit::kIdOk;
    });
}

void LevelEditConsole::start(Console& console, bool adapterAttached) {
    console.adapter.keepCallRecord(false);
    if (adapterAttached) {
        console.adapter.attach({});
    }
    console.dialog = std::make_unique<CMainDialog>(console.adapter,
                                                   CDmxPort::Timing{.settle = std::chrono::milliseconds(0)});
    console.dialog->show();
    QApplication::processEvents();
}

CMainDialog& LevelEditConsole::freshDialog(bool adapterAttached) {
    Console& console = adapterAttached ? attached_ : detached_;
    if (!console.dialog) {
        start(console, adapterAttached);
    }
    CMainDialog& dialog = *console.dialog;
    // An input sets few channels, so zeroing just those through their boxes costs far less than
    // CLEAR's 512 texts; showing the first page at the end puts "0" into all of its boxes.
    for (std::size_t channel = 0; channel < kChannelCount; ++channel) {
        if (dialog.levels()[channel] == 0) {
            continue;
        }
        const int position = static_cast<int>(channel) - dialog.firstChannel();
        if (position < 0 || position >= resources::kStripCount) {
            showPage(dialog, std::min(static_cast<int>(channel), CMainDialog::kLastFirstChannel));
        }
        const auto strip = channel - static_cast<std::size_t>(dialog.firstChannel());
        dialog.controlAs<dialogkit::EditBox>(resources::kStripTable[strip].edit)
            ->setText(QStringLiteral("0"));
    }
    showPage(dialog, 0);
    // Tab moves the focus, and a box entered by Tab selects its text, so the focus is part of the
    // state an input starts from.
    dialog.controlAs<dialogkit::EditBox>(resources::kStripTable[0].edit)->setFocus();
    QGuiApplication::clipboard()->clear();
    boxes_ = 0;
    return dialog;
}

} // namespace lumora::fuzz
