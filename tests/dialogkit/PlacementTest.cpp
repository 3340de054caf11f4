#include "RecordingDialog.h"
#include "TestTemplates.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace lumora::dialogkit::testing {
namespace {

// The offscreen platform of the tests has one 1920x1080 screen and a two-pixel window frame.
TEST(Placement, TheTestScreenIsTheOneTheseFiguresAssume) {
    EXPECT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1920, 1080));
}

TEST(Placement, AnUnownedDialogIsCentredOnThePrimaryScreen) {
    RecordingDialog console(kConsole);
    console.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&console));
    EXPECT_EQ(console.frameGeometry(), QRect(551, 387, 818, 307));
}

TEST(Placement, AnOwnedDialogIsCentredOverItsOwnersFrame) {
    RecordingDialog console(kConsole);
    console.move(100, 100);
    console.show();
    RecordingDialog about(kAbout, &console);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.frameGeometry(), QRect(272, 212, 474, 82));
}

TEST(Placement, AnOwnedDialogIsKeptInsideTheWorkArea) {
    RecordingDialog console(kConsole);
    console.move(1500, 950);
    console.show();
    RecordingDialog about(kAbout, &console);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.frameGeometry().topLeft(), QPoint(1446, 998));
}

TEST(Placement, AHiddenOwnerDoesNotCount) {
    RecordingDialog console(kConsole);
    RecordingDialog about(kAbout, &console);
    about.show();
    EXPECT_EQ(about.frameGeometry().topLeft(), QPoint(723, 499));
}

TEST(Placement, ADialogMovedDuringInitialisationStaysThere) {
    RecordingDialog console(kConsole);
    console.onInit = [&console] {
        console.move(10, 20);
    };
    console.show();
    EXPECT_EQ(console.frameGeometry().topLeft(), QPoint(10, 20));
}

} // namespace
} // namespace lumora::dialogkit::testing
