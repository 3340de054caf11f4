#include "ConsoleFixture.h"
#include "CountingHandlers.h"
#include "WholeFrames.h"
#include "app/CAboutDialog.h"
#include "app/DialogCloser.h"
#include "app/TerminationSignals.h"
#include "support/DriverCallQueries.h"

#include <QContextMenuEvent>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <csignal>
#include <functional>

using namespace lumora;
using namespace lumora::test;
using namespace std::chrono_literals;
using hw::Operation;

namespace {

// Closes every window after a while, for a console that no signal ends, so that the test fails
// instead of hanging; windows in nested loops are closed too.
class Deadline {
public:
    Deadline() {
        timer_.setSingleShot(true);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            passed_ = true;
            QApplication::closeAllWindows();
        });
        timer_.start(10s);
    }
    bool passed() const { return passed_; }

private:
    QTimer timer_;
    bool passed_ = false;
};

} // namespace

// The real console, run modally as the program runs it, with the signals wired to its close
// command as the application wires them.
class SignalEnd : public ConsoleFixture {
protected:
    void create(std::chrono::milliseconds settle = 0ms) {
        dialog = std::make_unique<CMainDialog>(adapter, CDmxPort::Timing{.settle = settle});
        closer_ = std::make_unique<DialogCloser>(*dialog);
        termination_ = std::make_unique<TerminationSignals>([this] { closer_->request(); });
        const auto ends = nextPipeEnds();
        ASSERT_TRUE(termination_->install());
        if (!nonBlockingAndClosedOnExec(ends)) {
            // Uninstalled, a signal is only counted and the deadline ends the console.
            termination_.reset();
            FAIL() << "a signal would hang the console on its pipe";
        }
    }

    // Runs the console until it ends and returns its end code; whileRunning is called from its
    // loop.
    int runModal(const std::function<void()>& whileRunning) {
        QTimer::singleShot(0, dialog.get(), whileRunning);
        const Deadline deadline;
        const int code = dialog->doModal();
        EXPECT_FALSE(deadline.passed()) << "no signal ended the console";
        return code;
    }

    // Raises a signal, from the event loop, once a condition holds; the loop may be a nested one.
    void raiseWhen(std::function<bool()> condition, int signal) {
        QObject::connect(&poll_, &QTimer::timeout, &poll_, [this, condition, signal] {
            if (condition()) {
                poll_.stop();
                std::raise(signal);
            }
        });
        poll_.start(5ms);
    }

    void openAndWaitForFrames() {
        click(resources::kOpenButton);
        ASSERT_TRUE(dialog->port().isOpen());
        ASSERT_TRUE(QTest::qWaitFor([this] { return adapter.callCount(Operation::Write) >= 4; }, 5000));
    }

    CountingHandlers previous_;

private:
    QTimer poll_;
    std::unique_ptr<DialogCloser> closer_;
    std::unique_ptr<TerminationSignals> termination_;
};

struct SignalEndEach : SignalEnd, ::testing::WithParamInterface<int> {};

TEST_P(SignalEndEach, EndsTheConsoleAsItsCloseCommandDoesAndRepeatsAreHarmless) {
    const int signal = GetParam();
    attachAdapter();
    // The same signal again while the port closes, with the interface thread waiting for the
    // transmit thread.
    adapter.observeCalls([signal](const hw::DriverCall& call) {
        if (call.operation == Operation::Close) {
            std::raise(signal);
        }
    });
    create();
    const int code = runModal([this, signal] {
        openAndWaitForFrames();
        std::raise(signal);
        std::raise(signal);
    });
    std::raise(signal);
    QTest::qWait(50);
    adapter.observeCalls({});
    EXPECT_EQ(code, dialogkit::kIdCancel);
    EXPECT_FALSE(dialog->port().isOpen());
    EXPECT_EQ(adapter.openHandleCount(), 0u);
    EXPECT_EQ(adapter.callCount(Operation::Close), 1u);
    EXPECT_TRUE(wholeFramesThenClose(adapter.calls(), 2));
    EXPECT_EQ(CountingHandlers::caught, 0);
}

INSTANTIATE_TEST_SUITE_P(EachSignal, SignalEndEach, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const auto& signal) { return std::string(sigabbrev_np(signal.param)); });

// What the operator has open above the console when the signal comes: how it is opened (the call
// returns once it is closed) and how to tell that it is up.
struct Above {
    std::string name;
    std::function<void(CMainDialog&)> open;
    std::function<bool()> isUp;
};

void PrintTo(const Above& above, std::ostream* out) {
    *out << above.name;
}

struct SignalEndAbove : SignalEnd, ::testing::WithParamInterface<Above> {};

TEST_P(SignalEndAbove, ClosesItFirstThenTheConsole) {
    dialogkit::setMessageBoxPresenter({});
    attachAdapter();
    create();
    raiseWhen(GetParam().isUp, SIGTERM);
    bool openerReturned = false;
    const int code = runModal([&] {
        openAndWaitForFrames();
        GetParam().open(*dialog);
        openerReturned = true;
    });
    EXPECT_TRUE(openerReturned);
    EXPECT_EQ(code, dialogkit::kIdCancel);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(wholeFramesThenClose(adapter.calls(), 2));
}

INSTANTIATE_TEST_SUITE_P(
    WhatIsUp, SignalEndAbove,
    ::testing::Values(
        // Without a help file F1 answers with a real message box.
        Above{"HelpFailureBox", [](CMainDialog& console) { QTest::keyClick(&console, Qt::Key_F1); },
              [] {
                  return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
              }},
        Above{"AboutBox",
              [](CMainDialog& console) { console.chooseSystemMenuItem(resources::kAboutCommandId); },
              [] {
                  return dynamic_cast<CAboutDialog*>(QApplication::activeModalWidget()) != nullptr;
              }},
        Above{"SystemMenu",
              [](CMainDialog& console) {
                  // Below the strips, between the hidden port selector and EXIT: no control there.
                  const QPoint inside(console.units().toPixelsX(200), console.units().toPixelsY(186));
                  QContextMenuEvent request(QContextMenuEvent::Mouse, inside, console.mapToGlobal(inside));
                  QApplication::sendEvent(&console, &request);
              },
              [] {
                  return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr;
              }}),
    [](const auto& above) { return above.param.name; });

TEST_F(SignalEnd, ABoxInsideOpensHandlerClosesAndTheHandlerFinishesFirst) {
    dialogkit::setMessageBoxPresenter({});
    attachAdapter();
    adapter.failCall(Operation::SetDivisor, 1, hw::DriverStatus::IoError);
    create();
    raiseWhen([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
              SIGINT);
    const int code = runModal([this] { click(resources::kOpenButton); });
    EXPECT_EQ(code, dialogkit::kIdCancel);
    EXPECT_TRUE(selector()->isEnabled()) << "OPEN's handler went on after its box";
    EXPECT_EQ(adapter.openHandleCount(), 0u);
    EXPECT_EQ(adapter.callCount(Operation::SetBreakOn), 0u);
}

TEST_F(SignalEnd, ASignalDuringTheSettleIsAnsweredOnceOpenHasFinished) {
    attachAdapter();
    // The signal comes on the interface thread just before OPEN's settle, which keeps that
    // thread busy.
    adapter.observeCalls([](const hw::DriverCall& call) {
        if (call.operation == Operation::Purge) {
            std::raise(SIGTERM);
        }
    });
    create(300ms);
    const int code = runModal([this] { click(resources::kOpenButton); });
    adapter.observeCalls({});
    EXPECT_EQ(code, dialogkit::kIdCancel);
    EXPECT_TRUE(button(resources::kCloseButton)->isEnabled()) << "OPEN finished as a success";
    const auto calls = adapter.calls();
    EXPECT_TRUE(wholeFramesThenClose(calls, 0));
    const auto purge = callsOf(calls, Operation::Purge);
    const auto closes = callsOf(calls, Operation::Close);
    ASSERT_EQ(purge.size(), 1u);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_GE(closes[0].started - purge[0].finished, 300ms);
}

TEST_F(SignalEnd, TheApplicationWiresTheSignalsAndGivesThemBackWhenItEnds) {
    auto owned = std::make_unique<hw::SimulatedAdapter>(
        hw::SimulatedAdapter::Timing{std::chrono::microseconds(0), 128});
    hw::SimulatedAdapter& simulated = *owned;
    simulated.attach({});
    CConsoleApp console(std::move(owned), QLocale::system());
    bool installedWhileRunning = false;
    int endCode = -1;
    const auto ends = nextPipeEnds();
    QTimer::singleShot(0, [&] {
        installedWhileRunning = !CountingHandlers::inPlace(SIGTERM);
        auto* running = dynamic_cast<CMainDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(running, nullptr);
        if (!nonBlockingAndClosedOnExec(ends)) {
            ADD_FAILURE() << "a signal would hang the console on its pipe";
            QApplication::closeAllWindows();
            return;
        }
        QObject::connect(running, &QDialog::finished, [&endCode](int code) { endCode = code; });
        QTest::mouseClick(running->controlAs<QPushButton>(resources::kOpenButton), Qt::LeftButton);
        ASSERT_TRUE(QTest::qWaitFor([&] { return simulated.callCount(Operation::Write) >= 4; }, 5000));
        std::raise(SIGTERM);
    });
    const Deadline deadline;
    EXPECT_FALSE(console.startUp());
    EXPECT_FALSE(deadline.passed()) << "no signal ended the console";
    EXPECT_TRUE(installedWhileRunning);
    EXPECT_EQ(QGuiApplication::desktopFileName().toStdString(), "example.lumora.dmx")
        << "the installed desktop entry";
    EXPECT_EQ(endCode, dialogkit::kIdCancel);
    EXPECT_EQ(CountingHandlers::caught, 0);
    EXPECT_TRUE(wholeFramesThenClose(simulated.calls(), 2));
    EXPECT_TRUE(CountingHandlers::allInPlace()) << "the handlers from before are back";
}
