// The console's controls behave as the platform's do, so that no key, click or paste changes the
// output of a live rig unless the operator means it.

#include "ConsoleFixture.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QStyle>
#include <QTimer>

using namespace lumora;
using namespace lumora::test;
using resources::kCancel;
using resources::kClearButton;
using resources::kCloseButton;
using resources::kOpenButton;

namespace {

struct LiveRig : ConsoleFixture {
    // Starts the console with the adapter attached and levels that a stray key on fader 0 or on
    // CLEAR would change.
    void startWithLevels() {
        attachAdapter();
        start();
        ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        edit(0)->setText("100");
        edit(5)->setText("60");
    }

    // A key as the window system delivers it: to the focus widget, or to the dialog without one.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(dialog->windowHandle(), key, modifiers);
    }
};

struct EnterOnAButton : LiveRig, ::testing::WithParamInterface<int> {};

TEST_P(EnterOnAButton, DoesNothing) {
    startWithLevels();
    if (GetParam() == kCloseButton) {
        click(kOpenButton);
    }
    const bool wasOpen = dialog->port().isOpen();
    const std::size_t opens = adapter.callCount(hw::Operation::Open);
    const ChannelLevels levels = dialog->levels();
    button(GetParam())->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), button(GetParam()));

    press(Qt::Key_Return);
    press(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(dialog->hasEnded()) << "EXIT";
    EXPECT_EQ(dialog->port().isOpen(), wasOpen) << "OPEN or CLOSE";
    EXPECT_EQ(adapter.callCount(hw::Operation::Open), opens) << "OPEN";
    EXPECT_EQ(dialog->levels(), levels) << "CLEAR";
}

INSTANTIATE_TEST_SUITE_P(PortPanelAndExit, EnterOnAButton,
                         ::testing::Values(kOpenButton, kCloseButton, kClearButton, kCancel));

// A port button pressed with Space disables itself; which widget Tab or Shift+Tab then focuses.
struct AfterDisabling {
    const char* name;
    int pressed;
    Qt::Key tab;
    int focused; // a control id, or -1 for fader 0
};

void PrintTo(const AfterDisabling& row, std::ostream* out) {
    *out << row.name;
}

struct FocusAfterDisabling : LiveRig, ::testing::WithParamInterface<AfterDisabling> {};

TEST_P(FocusAfterDisabling, NoControlTakesKeysUntilTab) {
    startWithLevels();
    if (GetParam().pressed == kCloseButton) {
        click(kOpenButton);
    }
    const bool openBefore = dialog->port().isOpen();
    button(GetParam().pressed)->setFocus();
    press(Qt::Key_Space);
    ASSERT_NE(dialog->port().isOpen(), openBefore) << "Space pressed the button";
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(QApplication::activeWindow(), dialog.get());

    const ChannelLevels levels = dialog->levels();
    const std::size_t opens = adapter.callCount(hw::Operation::Open);
    for (const Qt::Key key :
         {Qt::Key_Space, Qt::Key_Up, Qt::Key_PageUp, Qt::Key_End, Qt::Key_Home, Qt::Key_Down, Qt::Key_5}) {
        press(key);
    }
    EXPECT_EQ(dialog->levels(), levels);
    EXPECT_EQ(dialog->port().isOpen(), !openBefore);
    EXPECT_EQ(adapter.callCount(hw::Operation::Open), opens);
    if (dialog->port().isOpen()) {
        const hw::WireFrame frame = nextWholeFrame();
        ASSERT_EQ(frame.slotBytes.size(), kChannelCount);
        EXPECT_EQ(frame.slotBytes[0], 100) << "channel 0 on the wire";
    }

    press(GetParam().tab, GetParam().tab == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
    QWidget* expected = GetParam().focused < 0 ? static_cast<QWidget*>(fader(0)) : button(GetParam().focused);
    EXPECT_EQ(QApplication::focusWidget(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    PortButtons, FocusAfterDisabling,
    ::testing::Values(AfterDisabling{"OpenThenTab", kOpenButton, Qt::Key_Tab, -1},
                      AfterDisabling{"OpenThenShiftTab", kOpenButton, Qt::Key_Backtab, kClearButton},
                      AfterDisabling{"CloseThenTab", kCloseButton, Qt::Key_Tab, kOpenButton},
                      AfterDisabling{"CloseThenShiftTab", kCloseButton, Qt::Key_Backtab, kClearButton}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
