#include "RecordingDialog.h"
#include "TestTemplates.h"
#include "dialogkit/Trackbar.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace lumora::dialogkit::testing {
namespace {

constexpr int kAboutCommand = 16;

class SystemMenuStandIn : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.systemMenu().appendSeparator();
        dialog.systemMenu().appendItem(kAboutCommand, QStringLiteral("DMX 정보(&A)..."));
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    }

    // Waits, inside the menu's own loop, for the menu and clicks the entry commandId (or closes
    // the menu when there is none); records what the menu offered.
    void chooseWhenShown(int commandId) {
        QTimer::singleShot(0, &dialog, [this, commandId] {
            ASSERT_TRUE(QTest::qWaitFor(
                [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }, 2000));
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            offered.clear();
            QAction* wanted = nullptr;
            for (QAction* action : menu->actions()) {
                offered.append(action->isSeparator() ? 0 : action->data().toInt());
                if (!action->isSeparator() && action->data().toInt() == commandId) {
                    wanted = action;
                }
            }
            if (wanted == nullptr) {
                menu->close();
                return;
            }
            QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(wanted).center());
        });
    }

    RecordingDialog dialog{kConsole};
    QList<int> offered;
};

TEST_F(SystemMenuStandIn, HoldsWhatTheDialogAppendedAndNoClose) {
    const auto& items = dialog.systemMenu().items();
    ASSERT_EQ(items.size(), 2U);
    EXPECT_EQ(items[0].commandId, 0);
    EXPECT_EQ(items[1].commandId, kAboutCommand);
    EXPECT_EQ(items[1].text, QStringLiteral("DMX 정보(&A)..."));
}

TEST_F(SystemMenuStandIn, ARightClickOnTheClientAreaOffersTheMenuAndChoosingRaisesTheCommand) {
    chooseWhenShown(kAboutCommand);
    QTest::mouseClick(dialog.windowHandle(), Qt::RightButton, {}, QPoint(400, 120));
    EXPECT_EQ(offered, (QList<int>{0, kAboutCommand}));
    ASSERT_EQ(dialog.count(Notification::SysCommand), 1);
    EXPECT_EQ(dialog.events.back().param, kAboutCommand);
    EXPECT_TRUE(dialog.isVisible());
}

TEST_F(SystemMenuStandIn, TheMenuKeyAndShiftF10OnAControlOpenIt) {
    QWidget* fader = dialog.controlAs<Trackbar>(kFader);
    fader->setFocus();
    // The X11 and Wayland platforms turn the Menu key into a keyboard context-menu event for the
    // focused widget; the offscreen platform does not, so the test sends that event itself.
    chooseWhenShown(0);
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(5, 5), fader->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(fader, &menuKey);
    EXPECT_EQ(offered.size(), 2);
    offered.clear();
    chooseWhenShown(kAboutCommand);
    QTest::keyClick(fader, Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(offered.size(), 2);
    EXPECT_EQ(dialog.count(Notification::SysCommand), 1);
}

TEST_F(SystemMenuStandIn, ChoosingFromTheProgramChecksTheEntryExists) {
    EXPECT_FALSE(dialog.chooseSystemMenuItem(99));
    EXPECT_TRUE(dialog.chooseSystemMenuItem(kAboutCommand));
    EXPECT_EQ(dialog.count(Notification::SysCommand), 1);
    EXPECT_FALSE(dialog.hasEnded());
    EXPECT_FALSE(dialog.chooseSystemMenuItem(kScClose));
    EXPECT_FALSE(dialog.hasEnded());
}

} // namespace
} // namespace lumora::dialogkit::testing
