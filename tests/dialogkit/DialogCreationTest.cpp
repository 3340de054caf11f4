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
    EXPECT_EQ(dialog.button(kOpen)->geometry(), QRect(12, 17, 108, 42));
    EXPECT_EQ(dialog.trackbar(kFader)->geometry(), QRect(42, 83, 30, 143));
}

TEST_F(DialogCreation, TypedLookupsFindTheirKindOnly) {
    EXPECT_NE(dialog.button(kOpen), nullptr);
    EXPECT_NE(dialog.edit(kEdit), nullptr);
    EXPECT_NE(dialog.trackbar(kFader), nullptr);
    EXPECT_NE(dialog.staticText(kLabel), nullptr);
    EXPECT_NE(dialog.comboBox(kSelector), nullptr);
    EXPECT_NE(dialog.bitmapButton(kLogo), nullptr);
    EXPECT_EQ(dialog.button(kLogo), nullptr);
    EXPECT_EQ(dialog.edit(kFader), nullptr);
    EXPECT_EQ(dialog.trackbar(kUnknown), nullptr);
    EXPECT_EQ(dialog.control(kUnknown), nullptr);
}

TEST_F(DialogCreation, TabOrderIsTemplateOrderSkippingStaticsHiddenAndDisabled) {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    EXPECT_EQ(QApplication::focusWidget(), dialog.button(kOpen));
    const QList<QWidget*> expected{dialog.trackbar(kFader),      dialog.edit(kEdit),
                                   dialog.button(kExit),         dialog.bitmapButton(kLogo),
                                   dialog.trackbar(kPageSlider), dialog.button(kOpen)};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
}

TEST_F(DialogCreation, MapsVisibilityEnablingAndFocusStyles) {
    EXPECT_TRUE(dialog.comboBox(kSelector)->isHidden());
    EXPECT_FALSE(dialog.button(kOpen)->isHidden());
    EXPECT_FALSE(dialog.button(kClose)->isEnabled());
    EXPECT_EQ(dialog.staticText(kLabel)->focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(dialog.edit(kEdit)->focusPolicy(), Qt::StrongFocus);
    // Without WS_TABSTOP a control still takes the focus when clicked, as in Win32.
    EXPECT_EQ(dialog.edit(kFreeEdit)->focusPolicy(), Qt::ClickFocus);
    EXPECT_EQ(dialog.staticText(kLabel)->alignment(), Qt::AlignCenter);
    EXPECT_FALSE(dialog.comboBox(kSelector)->isEditable());
    EXPECT_EQ(dialog.comboBox(kSelector)->currentSelection(), -1);
}

TEST_F(DialogCreation, PushButtonsAreNeverAutoDefaultAndCarryTheirMnemonic) {
    EXPECT_FALSE(dialog.button(kOpen)->autoDefault());
    EXPECT_FALSE(dialog.button(kExit)->isDefault());
    EXPECT_EQ(dialog.button(kExit)->text(), QStringLiteral("EXIT(&X)"));
    RecordingDialog about(kAbout);
    EXPECT_TRUE(about.button(kIdOk)->isDefault());
    EXPECT_FALSE(about.button(kIdOk)->autoDefault());
}

TEST_F(DialogCreation, TrackbarsStartLikeTheWin32ClassWithTheMinimumAtTheTop) {
    Trackbar* fader = dialog.trackbar(kFader);
    EXPECT_EQ(fader->orientation(), Qt::Vertical);
    EXPECT_TRUE(fader->invertedAppearance());
    EXPECT_EQ(fader->rangeMin(), 0);
    EXPECT_EQ(fader->rangeMax(), 100);
    EXPECT_EQ(dialog.trackbar(kPageSlider)->orientation(), Qt::Horizontal);
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
    QLabel* icon = about.staticText(-1);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->geometry(), QRect(22, 26, 32, 32));
    EXPECT_EQ(icon->pixmap().toImage().pixelColor(5, 5), QColor(Qt::red));
}

} // namespace
} // namespace lumora::dialogkit::testing
