#include "ConsoleFixture.h"

#include <QContextMenuEvent>

using namespace lumora;
using namespace lumora::test;

using Keyboard = ConsoleFixture;

TEST_F(Keyboard, TabVisitsTheControlsInTemplateOrderSkippingStaticsHiddenAndDisabled) {
    start();
    button(resources::kOpenButton)->setFocus();
    std::vector<QWidget*> expected = {fader(0), edit(0), button(dialogkit::kIdCancel)};
    for (int k = 1; k < 20; ++k) {
        expected.push_back(fader(k));
        expected.push_back(edit(k));
    }
    expected.push_back(dialog->controlAs<dialogkit::BitmapButton>(resources::kLogoButton));
    expected.push_back(pageSlider());
    expected.push_back(button(resources::kClearButton));
    expected.push_back(button(resources::kOpenButton));

    for (std::size_t i = 0; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_EQ(QApplication::focusWidget(), expected[i]) << "step " << i + 1;
    }
}

TEST_F(Keyboard, AltXEndsTheDialog) {
    start();
    QTest::keyClick(dialog.get(), Qt::Key_X, Qt::AltModifier);
    EXPECT_TRUE(waitFor([&] {
        QApplication::processEvents();
        return dialog->hasEnded();
    }));
    EXPECT_EQ(dialog->result(), dialogkit::kIdCancel);
}

TEST_F(Keyboard, EnterAndEscDoNothingAnywhere) {
    start();
    std::vector<QWidget*> targets = {dialog.get(),
                                     edit(3),
                                     fader(5),
                                     button(resources::kOpenButton),
                                     button(resources::kClearButton),
                                     button(dialogkit::kIdCancel)};
    edit(3)->setText("77");
    const std::size_t boxesBefore = boxes.size();
    for (QWidget* target : targets) {
        target->setFocus();
        for (const auto key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, key);
        }
    }
    QTest::qWait(150); // a click by keyboard would arrive by now
    EXPECT_FALSE(dialog->hasEnded());
    EXPECT_EQ(boxes.size(), boxesBefore) << "OPEN was not pressed";
    EXPECT_EQ(dialog->levels()[3], 77) << "CLEAR was not pressed";
}

TEST_F(Keyboard, EditBoxesTakeDigitsOnly) {
    start();
    edit(0)->setText("");
    edit(0)->setFocus();
    QTest::keyClicks(edit(0), "a-Z.");
    EXPECT_EQ(edit(0)->text(), "");
    QTest::keyClicks(edit(0), "42");
    EXPECT_EQ(edit(0)->text(), "42");
    EXPECT_EQ(dialog->levels()[0], 42);
}

TEST_F(Keyboard, TheCloseCommandEndsTheDialog) {
    start();
    dialog->close();
    EXPECT_TRUE(dialog->hasEnded());
}

TEST_F(Keyboard, ClosingWhileOpenStopsOutputAndClosesTheAdapter) {
    attachAdapter();
    start();
    click(resources::kOpenButton);
    ASSERT_TRUE(dialog->port().isOpen());
    nextWholeFrame();

    dialog->close();
    EXPECT_FALSE(dialog->port().isOpen());
    EXPECT_EQ(adapter.callCount(hw::Operation::Close), 1u);
    const std::size_t writes = adapter.callCount(hw::Operation::Write);
    QTest::qWait(80);
    EXPECT_EQ(adapter.callCount(hw::Operation::Write), writes) << "the transmit thread has stopped";
}
