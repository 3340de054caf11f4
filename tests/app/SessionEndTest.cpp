#include "ConsoleFixture.h"
#include "WholeFrames.h"
#include "app/CAboutDialog.h"
#include "app/DialogCloser.h"
#include "app/SessionEndFilter.h"
#include "support/DriverCallQueries.h"

#include <QAbstractEventDispatcher>
#include <QTimer>

#include <windows.h>

using namespace lumora;
using namespace lumora::test;
using namespace std::chrono_literals;
using hw::Operation;

namespace {

// A message of Windows' end of the session as it reaches the console's windows, and whether the
// session then ends.
struct SessionMessage {
    const char* name;
    UINT message;
    WPARAM sessionEnds;
    LPARAM how;
    bool aboutBoxUp;
    bool consoleEnds;
};

void PrintTo(const SessionMessage& row, std::ostream* out) {
    *out << row.name;
}

} // namespace

struct SessionEnd : ConsoleFixture, ::testing::WithParamInterface<SessionMessage> {};

// The console, run modally with the filter the application installs, gets the message through the
// native event filters as Qt's Windows platform hands it on. Windows may end the process as soon as
// the message is answered, so the adapter must be closed after whole frames by then.
TEST_P(SessionEnd, ClosesThePortBeforeAnsweringAsTheCloseBoxDoes) {
    const SessionMessage& row = GetParam();
    attachAdapter();
    dialog = std::make_unique<CMainDialog>(adapter, CDmxPort::Timing{0ms, 30ms});
    DialogCloser closer(*dialog);
    const SessionEndFilter filter([&closer] { closer.closeNow(); });
    bool answered = false;
    bool openWhenAnswered = true;
    std::vector<hw::DriverCall> callsWhenAnswered;
    QTimer::singleShot(0, dialog.get(), [&] {
        click(resources::kOpenButton);
        ASSERT_TRUE(waitFor([this] { return adapter.callCount(Operation::Write) >= 4; }));
        // Delivered from the innermost event loop: the About box's when it is up.
        QTimer::singleShot(0, dialog.get(), [&] {
            MSG message{
                reinterpret_cast<HWND>(dialog->winId()), row.message, row.sessionEnds, row.how, 0, {}};
            qintptr result = 1;
            answered = QAbstractEventDispatcher::instance()->filterNativeEvent("windows_generic_MSG",
                                                                               &message, &result);
            EXPECT_EQ(result, answered ? 0 : 1);
            openWhenAnswered = dialog->port().isOpen();
            callsWhenAnswered = adapter.calls();
            closer.request();
        });
        if (row.aboutBoxUp) {
            dialog->chooseSystemMenuItem(resources::kAboutCommandId);
        }
    });
    EXPECT_EQ(dialog->doModal(), dialogkit::kIdCancel);
    EXPECT_EQ(answered, row.consoleEnds);
    EXPECT_EQ(openWhenAnswered, !row.consoleEnds);
    if (row.consoleEnds) {
        EXPECT_TRUE(wholeFramesThenClose(callsWhenAnswered, 2));
    }
    EXPECT_EQ(adapter.callCount(Operation::Close), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Messages, SessionEnd,
    ::testing::Values(SessionMessage{"LogOff", WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, false, true},
                      SessionMessage{"ShutDown", WM_ENDSESSION, TRUE, 0, false, true},
                      SessionMessage{"ShutDownAboveTheAboutBox", WM_ENDSESSION, TRUE, 0, true, true},
                      SessionMessage{"EndCancelled", WM_ENDSESSION, FALSE, 0, false, false},
                      SessionMessage{"QueryOnly", WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, false, false}),
    [](const auto& row) { return std::string(row.param.name); });
