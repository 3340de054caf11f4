#include "RecordingDialog.h"
#include "TestTemplates.h"
#include "dialogkit/BitmapButton.h"
#include "dialogkit/ComboBox.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/Trackbar.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace lumora::dialogkit::testing {
namespace {

class Notifications : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        dialog.events.clear();
    }

    RecordingDialog dialog{kConsole};
};

TEST_F(Notifications, SettingAnEditTextRaisesTextChangedOnceEvenWhenUnchanged) {
    EditBox* edit = dialog.controlAs<EditBox>(kEdit);
    edit->setText(QStringLiteral("0"));
    edit->setText(QStringLiteral("0"));
    edit->setText(QStringLiteral("17"));
    EXPECT_EQ(dialog.count(Notification::TextChanged, kEdit), 3);
    EXPECT_EQ(dialog.events.size(), 3U);
}

TEST_F(Notifications, TypingDeletingAndPastingRaiseTextChanged) {
    EditBox* edit = dialog.controlAs<EditBox>(kEdit);
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("12"));
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    EXPECT_EQ(dialog.count(Notification::TextChanged, kEdit), 2);
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_EQ(dialog.count(Notification::TextChanged, kEdit), 3);
    QGuiApplication::clipboard()->setText(QStringLiteral("9"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), QStringLiteral("19"));
    EXPECT_EQ(dialog.count(Notification::TextChanged, kEdit), 4);
}

TEST_F(Notifications, DigitsOnlyEditRefusesLettersAndMinusAndTheLimitStopsTyping) {
    EditBox* edit = dialog.controlAs<EditBox>(kEdit);
    edit->limitText(3);
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("a-1x2"));
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    QTest::keyClicks(edit, QStringLiteral("345"));
    EXPECT_EQ(edit->text(), QStringLiteral("123"));
    EXPECT_EQ(dialog.count(Notification::TextChanged, kEdit), 3);
    // The limit binds the user only: the program may set a longer text, and it is not cut.
    edit->setText(QStringLiteral("12345"));
    EXPECT_EQ(edit->text(), QStringLiteral("12345"));
    EXPECT_EQ(edit->textLimit(), 3);
    // An edit box without ES_NUMBER takes letters.
    QTest::keyClicks(dialog.controlAs<EditBox>(kFreeEdit), QStringLiteral("a-1"));
    EXPECT_EQ(dialog.controlAs<EditBox>(kFreeEdit)->text(), QStringLiteral("a-1"));
}

TEST_F(Notifications, HandlersMayNestTextChanges) {
    // A handler that caps the value, as the level edit boxes do: its own set raises once more.
    EditBox* edit = dialog.controlAs<EditBox>(kEdit);
    dialog.onEvent = [&](const NotifyEvent& event) {
        if (event.notification == Notification::TextChanged && edit->text().toInt() > 255) {
            edit->setText(QStringLiteral("255"));
        }
    };
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("300"));
    EXPECT_EQ(edit->text(), QStringLiteral("255"));
    EXPECT_EQ(dialog.count(Notification::TextChanged, kEdit), 4);
}

TEST_F(Notifications, ProgramChangesToATrackbarRaiseNothing) {
    Trackbar* fader = dialog.controlAs<Trackbar>(kFader);
    fader->setRangeMax(255);
    fader->setPosition(255);
    fader->setRange(0, 10);
    EXPECT_EQ(fader->position(), 10);
    EXPECT_TRUE(dialog.events.empty());
}

TEST_F(Notifications, KeysMoveAVerticalTrackbarLikeWin32AndRaiseVerticalScroll) {
    Trackbar* fader = dialog.controlAs<Trackbar>(kFader);
    fader->setRangeMax(255);
    fader->setPosition(255);
    fader->setFocus();
    QTest::keyClick(fader, Qt::Key_Up);
    EXPECT_EQ(fader->position(), 254);
    QTest::keyClick(fader, Qt::Key_PageUp);
    EXPECT_EQ(fader->position(), 203);
    QTest::keyClick(fader, Qt::Key_Home);
    EXPECT_EQ(fader->position(), 0);
    QTest::keyClick(fader, Qt::Key_Right);
    EXPECT_EQ(fader->position(), 1);
    EXPECT_EQ(dialog.count(Notification::VerticalScroll, kFader), 4);
    EXPECT_EQ(dialog.count(Notification::HorizontalScroll), 0);
    EXPECT_EQ(dialog.count(Notification::ReleasedCapture), 0);
}

TEST_F(Notifications, DraggingAFaderRaisesScrollWhileMovingAndReleasedCaptureOnRelease) {
    Trackbar* fader = dialog.controlAs<Trackbar>(kFader);
    fader->setRangeMax(255);
    fader->setPosition(255);
    const QPoint start = fader->thumbRect().center();
    QTest::mousePress(fader, Qt::LeftButton, {}, start);
    QTest::mouseMove(fader, start - QPoint(0, 30));
    QTest::mouseMove(fader, start - QPoint(0, 60));
    EXPECT_LT(fader->position(), 255);
    EXPECT_EQ(dialog.count(Notification::VerticalScroll, kFader), 2);
    EXPECT_EQ(dialog.count(Notification::ReleasedCapture), 0);
    QTest::mouseRelease(fader, Qt::LeftButton, {}, start - QPoint(0, 60));
    EXPECT_EQ(dialog.count(Notification::ReleasedCapture, kFader), 1);
    EXPECT_EQ(dialog.events.back().notification, Notification::ReleasedCapture);
}

TEST_F(Notifications, TheWheelAndAHorizontalTrackbarRaiseHorizontalScroll) {
    Trackbar* slider = dialog.controlAs<Trackbar>(kPageSlider);
    slider->setRange(0, 492);
    QTest::keyClick(slider, Qt::Key_End);
    EXPECT_EQ(slider->position(), 492);
    QTest::keyClick(slider, Qt::Key_PageUp);
    EXPECT_EQ(slider->position(), 394);
    EXPECT_EQ(dialog.count(Notification::HorizontalScroll, kPageSlider), 2);
    QWheelEvent wheel(QPointF(10, 5), slider->mapToGlobal(QPointF(10, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(slider, &wheel);
    EXPECT_EQ(slider->position(), 391); // three lines towards the minimum, as the Win32 trackbar does
    EXPECT_EQ(dialog.count(Notification::HorizontalScroll, kPageSlider), 3);
}

TEST_F(Notifications, ASingleClickOnTheBitmapButtonIsClickedOnlyADoubleClickAddsDoubleClicked) {
    // Through the window, so that Qt itself turns the second press into a double click.
    const QPoint logo = dialog.controlAs<BitmapButton>(kLogo)->geometry().center();
    QTest::mouseClick(dialog.windowHandle(), Qt::LeftButton, {}, logo);
    EXPECT_EQ(dialog.count(Notification::Clicked, kLogo), 1);
    EXPECT_EQ(dialog.count(Notification::DoubleClicked), 0);
    dialog.events.clear();
    QTest::mouseDClick(dialog.windowHandle(), Qt::LeftButton, {}, logo);
    ASSERT_EQ(dialog.events.size(), 2U);
    EXPECT_EQ(dialog.events[0].notification, Notification::Clicked);
    EXPECT_EQ(dialog.events[1].notification, Notification::DoubleClicked);
    EXPECT_EQ(dialog.events[1].controlId, kLogo);
}

TEST_F(Notifications, TheBitmapButtonDrawsItsNormalImageInEveryStateAndUnscaled) {
    BitmapButton* logo = dialog.controlAs<BitmapButton>(kLogo);
    QPixmap normal(20, 10);
    normal.fill(Qt::blue);
    logo->setImages(normal);
    const auto pixelAt = [logo](QPoint point) {
        return logo->grab().toImage().pixelColor(point);
    };
    EXPECT_EQ(pixelAt(QPoint(2, 2)), QColor(Qt::blue));
    EXPECT_EQ(pixelAt(QPoint(21, 11)), QColor(Qt::blue));
    EXPECT_NE(pixelAt(QPoint(22, 12)), QColor(Qt::blue)); // not stretched over the client rectangle
    logo->setDown(true);
    EXPECT_EQ(logo->drawnSlot(), BitmapButton::ImageSlot::Normal);
    logo->setDown(false);
    logo->setFocus();
    EXPECT_EQ(logo->drawnSlot(), BitmapButton::ImageSlot::Normal);
    QPixmap focus(20, 10);
    focus.fill(Qt::green);
    logo->setImages(normal, {}, focus);
    EXPECT_EQ(logo->drawnSlot(), BitmapButton::ImageSlot::Focus);
    EXPECT_EQ(pixelAt(QPoint(2, 2)), QColor(Qt::green));
}

TEST_F(Notifications, ComboBoxRaisesDropDownBeforeOpeningAndSelectionConfirmedOnChoice) {
    ComboBox* combo = dialog.controlAs<ComboBox>(kSelector);
    combo->show();
    dialog.onEvent = [combo](const NotifyEvent& event) {
        if (event.notification == Notification::DropDown) {
            combo->addString(QStringLiteral("FT232R"));
        }
    };
    EXPECT_EQ(combo->addString(QStringLiteral("A")), 0);
    EXPECT_EQ(combo->currentSelection(), -1);
    combo->showPopup();
    EXPECT_EQ(dialog.count(Notification::DropDown, kSelector), 1);
    EXPECT_EQ(combo->count(), 2);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QTest::keyClick(combo->view(), Qt::Key_Down);
    QTest::keyClick(combo->view(), Qt::Key_Return);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(combo->currentSelection(), 1);
    EXPECT_EQ(dialog.count(Notification::SelectionConfirmed, kSelector), 1);
    combo->setCurrentSelection(5);
    EXPECT_EQ(combo->currentSelection(), -1);
    combo->setCurrentSelection(1);
    EXPECT_EQ(combo->currentSelection(), 1);
    EXPECT_EQ(dialog.count(Notification::SelectionConfirmed), 1);
}

TEST_F(Notifications, PaintIsRaisedToAHandlerInTheTable) {
    int paints = 0;
    dialog.setMessageTable({{Notification::Paint, kNoControl, [&](const NotifyEvent&) {
                                 ++paints;
                             }}});
    dialog.grab();
    EXPECT_GE(paints, 1);
}

} // namespace
} // namespace lumora::dialogkit::testing
