#include "RecordingDialog.h"
#include "TestTemplates.h"
#include "dialogkit/BitmapButton.h"
#include "dialogkit/ComboBox.h"
#include "dialogkit/Dialog.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/Trackbar.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace lumora::dialogkit::testing {
namespace {

class DialogCreation : public ::testing::Test {
protected:
    RecordingDialog dialog{kConsole};
};

TEST_F(DialogCreation, TakesItsFixedSizeAndCaptionFromTheTemplate) {
    EXPECT_EQ(dialog.units().baseX(), 8);
    EXPECT_EQ(dialog.units().baseY(), 12);
    EXPECT_EQ(dialog.size(), QSize(814, 303));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Lumora DMX"));
    EXPECT_EQ(dialog.templateId(), kConsoleId);
    EXPECT_TRUE(dialog.hasSystemMenu());
    EXPECT_EQ(dialog.controlAs<QPushButton>(kOpen)->geometry(), QRect(12, 17, 108, 42));
    EXPECT_EQ(dialog.controlAs<Trackbar>(kFader)->geometry(), QRect(42, 83, 30, 143));
}

TEST_F(DialogCreation, TypedLookupsFindTheirKindOnly) {
    EXPECT_NE(dialog.controlAs<QPushButton>(kOpen), nullptr);
    EXPECT_NE(dialog.controlAs<EditBox>(kEdit), nullptr);
    EXPECT_NE(dialog.controlAs<Trackbar>(kFader), nullptr);
    EXPECT_NE(dialog.controlAs<QLabel>(kLabel), nullptr);
    EXPECT_NE(dialog.controlAs<ComboBox>(kSelector), nullptr);
    EXPECT_NE(dialog.controlAs<BitmapButton>(kLogo), nullptr);
    EXPECT_EQ(dialog.controlAs<QPushButton>(kLogo), nullptr);
    EXPECT_EQ(dialog.controlAs<EditBox>(kFader), nullptr);
    EXPECT_EQ(dialog.controlAs<Trackbar>(kUnknown), nullptr);
    EXPECT_EQ(dialog.control(kUnknown), nullptr);
}

TEST_F(DialogCreation, TabOrderIsTemplateOrderSkippingStaticsHiddenAndDisabled) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.controlAs<QPushButton>(kOpen));
    const QList<QWidget*> expected{
        dialog.controlAs<Trackbar>(kFader),      dialog.controlAs<EditBox>(kEdit),
        dialog.controlAs<QPushButton>(kExit),    dialog.controlAs<BitmapButton>(kLogo),
        dialog.controlAs<Trackbar>(kPageSlider), dialog.controlAs<QPushButton>(kOpen)};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(DialogCreation, MapsVisibilityEnablingAndFocusStyles) {
    EXPECT_TRUE(dialog.controlAs<ComboBox>(kSelector)->isHidden());
    EXPECT_FALSE(dialog.controlAs<QPushButton>(kOpen)->isHidden());
    EXPECT_FALSE(dialog.controlAs<QPushButton>(kClose)->isEnabled());
    EXPECT_EQ(dialog.controlAs<QLabel>(kLabel)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(dialog.controlAs<EditBox>(kEdit)->focusPolicy(), Qt::StrongFocus);
    // Without WS_TABSTOP a control still takes the focus when clicked, as in Win32.
    EXPECT_EQ(dialog.controlAs<EditBox>(kFreeEdit)->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(dialog.controlAs<QLabel>(kLabel)->alignment(), Qt::AlignCenter);
    EXPECT_FALSE(dialog.controlAs<ComboBox>(kSelector)->isEditable());
    EXPECT_EQ(dialog.controlAs<ComboBox>(kSelector)->currentSelection(), -1);
}

TEST_F(DialogCreation, PushButtonsAreNeverAutoDefaultAndCarryTheirMnemonic) {
    EXPECT_FALSE(dialog.controlAs<QPushButton>(kOpen)->autoDefault());
    EXPECT_FALSE(dialog.controlAs<QPushButton>(kExit)->isDefault());
    EXPECT_EQ(dialog.controlAs<QPushButton>(kExit)->text(), QStringLiteral("EXIT(&X)"));
    RecordingDialog about(kAbout);
    EXPECT_TRUE(about.controlAs<QPushButton>(kIdOk)->isDefault());
    EXPECT_FALSE(about.controlAs<QPushButton>(kIdOk)->autoDefault());
}

TEST_F(DialogCreation, TrackbarsStartLikeTheWin32ClassWithTheMinimumAtTheTop) {
    Trackbar* fader = dialog.controlAs<Trackbar>(kFader);
    EXPECT_EQ(fader->orientation(), Qt::Vertical);
    EXPECT_TRUE(fader->invertedAppearance());
    EXPECT_EQ(fader->rangeMin(), 0);
    EXPECT_EQ(fader->rangeMax(), 100);
    EXPECT_EQ(dialog.controlAs<Trackbar>(kPageSlider)->orientation(), Qt::Horizontal);
    fader->setRangeMax(255);
    fader->setPosition(300);
    EXPECT_EQ(fader->position(), 255);
    EXPECT_EQ(fader->pageStep(), 51);
    fader->setPosition(0);
    // Position 0 draws the thumb at the top.
    EXPECT_LT(fader->thumbRect().center().y(), fader->height() / 4);
}

TEST(DialogIcons, StaticIconShowsTheLoadedIconAtItsOwnSize) {
    QPixmap image(32, 32);
    image.fill(Qt::red);
    int askedFor = 0;
    Dialog::setIconLoader([&](int id) {
        askedFor = id;
        return QIcon(image);
    });
    RecordingDialog about(kAbout);
    Dialog::setIconLoader({});
    EXPECT_EQ(askedFor, kIconId);
    QLabel* icon = about.controlAs<QLabel>(-1);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->geometry(), QRect(22, 26, 32, 32));
    EXPECT_EQ(icon->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
}

} // namespace
} // namespace lumora::dialogkit::testing
