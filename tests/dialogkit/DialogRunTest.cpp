#include "RecordingDialog.h"
#include "TestTemplates.h"
#include "dialogkit/EditBox.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <gtest/gtest.h>

namespace lumora::dialogkit::testing {
namespace {

constexpr int kGaveUp = -1;

// Runs the dialog modally with action scheduled inside its loop; a watchdog ends the dialog with
// kGaveUp if nothing else has ended it, so a failing test cannot hang.
int runModal(Dialog& dialog, const std::function<void()>& action) {
    QTimer::singleShot(0, &dialog, action);
    QTimer::singleShot(3000, &dialog, [&dialog] { dialog.endDialog(kGaveUp); });
    return dialog.doModal();
}

TEST(DialogRun, ExitButtonIsTheCancelCommandAndDestroyFollowsOnce) {
    RecordingDialog dialog(kConsole);
    bool hiddenWithControls = false;
    dialog.onEvent = [&](const NotifyEvent& event) {
        if (event.notification == Notification::Destroy) {
            hiddenWithControls = !dialog.isVisible() && dialog.controlAs<EditBox>(kEdit) != nullptr;
        }
    };
    EXPECT_EQ(
        runModal(dialog, [&] { QTest::mouseClick(dialog.controlAs<QPushButton>(kExit), Qt::LeftButton); }),
        kIdCancel);
    EXPECT_EQ(dialog.count(Notification::Destroy), 1);
    EXPECT_TRUE(hiddenWithControls);
    dialog.endDialog(kIdOk);
    EXPECT_EQ(dialog.count(Notification::Destroy), 1);
    EXPECT_EQ(dialog.result(), kIdCancel);
}

TEST(DialogRun, AltXPressesExit) {
    RecordingDialog dialog(kConsole);
    // Mnemonics work in the active window only.
    EXPECT_EQ(runModal(dialog,
                       [&] {
                           ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
                           QTest::keyClick(&dialog, Qt::Key_X, Qt::AltModifier);
                       }),
              kIdCancel);
}

TEST(DialogRun, TheCloseCommandEndsWithCancel) {
    RecordingDialog dialog(kConsole);
    EXPECT_EQ(runModal(dialog, [&] { dialog.close(); }), kIdCancel);
    EXPECT_EQ(dialog.count(Notification::Destroy), 1);
}

TEST(DialogRun, AHandlerForTheCancelClickTakesItOver) {
    RecordingDialog dialog(kConsole);
    int cancels = 0;
    dialog.setMessageTable({{Notification::Clicked, kIdCancel, [&](const NotifyEvent&) {
                                 ++cancels;
                             }}});
    EXPECT_EQ(runModal(dialog,
                       [&] {
                           QTest::mouseClick(dialog.controlAs<QPushButton>(kExit), Qt::LeftButton);
                           dialog.endDialog(7);
                       }),
              7);
    EXPECT_EQ(cancels, 1);
}

TEST(DialogRun, TheAboutBoxEndsWithOkOnItsButtonAndOnEnterAndWithCancelOnEsc) {
    RecordingDialog byButton(kAbout);
    EXPECT_EQ(runModal(byButton,
                       [&] { QTest::mouseClick(byButton.controlAs<QPushButton>(kIdOk), Qt::LeftButton); }),
              kIdOk);
    RecordingDialog byEnter(kAbout);
    EXPECT_EQ(runModal(byEnter, [&] { QTest::keyClick(&byEnter, Qt::Key_Return); }), kIdOk);
    RecordingDialog byEsc(kAbout);
    EXPECT_EQ(runModal(byEsc, [&] { QTest::keyClick(&byEsc, Qt::Key_Escape); }), kIdCancel);
}

TEST(DialogRun, InitDialogRunsOnceBeforeShowingAndMayEndTheDialog) {
    RecordingDialog dialog(kConsole);
    int inits = 0;
    dialog.onInit = [&] {
        ++inits;
        EXPECT_FALSE(dialog.isVisible());
        dialog.controlAs<EditBox>(kEdit)->setText(QStringLiteral("0"));
        dialog.endDialog(5);
    };
    EXPECT_EQ(dialog.doModal(), 5);
    EXPECT_EQ(inits, 1);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.count(Notification::TextChanged, kEdit), 1);
    EXPECT_EQ(dialog.count(Notification::Destroy), 1);
}

// The main console consumes Esc and Enter wherever they are aimed; its owned windows keep them.
bool consumesEscAndEnter(const QKeyEvent& event) {
    return event.key() == Qt::Key_Escape || event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter ||
           event.text() == QStringLiteral("\r") || event.text() == QStringLiteral("\x1b");
}

TEST(DialogRun, PreTranslationConsumesKeysForTheDialogAndAllItsControls) {
    RecordingDialog dialog(kConsole);
    QList<QEvent::Type> seen;
    dialog.keyHook = [&](const QKeyEvent& event) {
        if (consumesEscAndEnter(event)) {
            seen.append(event.type());
            return true;
        }
        return false;
    };
    int aboutResult = 0;
    const int result = runModal(dialog, [&] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::keyClick(dialog.controlAs<EditBox>(kEdit), Qt::Key_Return);
        dialog.controlAs<QPushButton>(kExit)->setFocus();
        QTest::keyClick(dialog.controlAs<QPushButton>(kExit), Qt::Key_Return);
        QTest::keyClick(dialog.controlAs<QPushButton>(kExit), Qt::Key_Enter);
        QTest::keyClick(dialog.controlAs<QPushButton>(kExit), Qt::Key_Escape);
        QTest::keyClick(dialog.controlAs<EditBox>(kEdit), Qt::Key_1);
        RecordingDialog about(kAbout, &dialog);
        aboutResult = runModal(about, [&] { QTest::keyClick(&about, Qt::Key_Escape); });
        dialog.endDialog(9);
    });
    EXPECT_EQ(result, 9);
    EXPECT_EQ(aboutResult, kIdCancel);
    EXPECT_TRUE(seen.contains(QEvent::KeyPress));
    EXPECT_TRUE(seen.contains(QEvent::KeyRelease));
    EXPECT_TRUE(seen.contains(QEvent::ShortcutOverride));
    EXPECT_EQ(dialog.controlAs<EditBox>(kEdit)->text(), QStringLiteral("1"));
    EXPECT_EQ(dialog.count(Notification::Clicked), 0);
}

TEST(DialogRun, F1WithoutModifiersAsksForHelpWithTheTemplateContext) {
    QList<int> contexts;
    Dialog::setHelpHandler([&](int context) { contexts.append(context); });
    RecordingDialog dialog(kConsole);
    RecordingDialog about(kAbout, &dialog);
    QTest::keyClick(dialog.controlAs<EditBox>(kEdit), Qt::Key_F1);
    QTest::keyClick(&dialog, Qt::Key_F1, Qt::ShiftModifier);
    QTest::keyClick(&dialog, Qt::Key_F1, Qt::ControlModifier);
    QTest::keyClick(about.controlAs<QPushButton>(kIdOk), Qt::Key_F1);
    Dialog::setHelpHandler({});
    EXPECT_EQ(contexts, (QList<int>{0x20000 + kConsoleId, 0x20000 + kAboutId}));
}

} // namespace
} // namespace lumora::dialogkit::testing
