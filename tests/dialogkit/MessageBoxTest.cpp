#include "dialogkit/MessageBox.h"

#include "RecordingDialog.h"
#include "TestTemplates.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <vector>

namespace lumora::dialogkit::testing {
namespace {

class MessageBoxes : public ::testing::Test {
protected:
    void SetUp() override {
        previous = setMessageBoxPresenter([this](const MessageBoxRequest& request) {
            shown.push_back(request);
            return kIdOk;
        });
    }
    void TearDown() override { setMessageBoxPresenter(previous); }

    MessageBoxPresenter previous;
    std::vector<MessageBoxRequest> shown;
    RecordingDialog owner{kConsole};
};

TEST_F(MessageBoxes, TitleIsTheExecutableNameWithoutExtension) {
    EXPECT_EQ(applicationTitle(), QStringLiteral("dialogkit_tests"));
    EXPECT_EQ(messageBox(&owner, QStringLiteral("포트를 찾을 수 없습니다.")), kIdOk);
    ASSERT_EQ(shown.size(), 1U);
    EXPECT_EQ(shown[0].owner, &owner);
    EXPECT_EQ(shown[0].title, QStringLiteral("dialogkit_tests"));
    EXPECT_EQ(shown[0].text, QStringLiteral("포트를 찾을 수 없습니다."));
}

TEST_F(MessageBoxes, AnOkBoxWithoutIconGetsTheWarningIconAndAnErrorBoxKeepsItsOwn) {
    messageBox(&owner, QStringLiteral("a"), kMbOk);
    messageBox(&owner, QStringLiteral("b"), kMbOk | kMbIconError);
    messageBox(&owner, QStringLiteral("c"), kMbOk | kMbIconWarning);
    ASSERT_EQ(shown.size(), 3U);
    EXPECT_EQ(shown[0].icon, MessageIcon::Warning);
    EXPECT_EQ(shown[1].icon, MessageIcon::Error);
    EXPECT_EQ(shown[2].icon, MessageIcon::Warning);
}

TEST(RealMessageBox, ShowsAModalQtBoxOwnedByTheDialogUntilOkIsPressed) {
    RecordingDialog owner(kConsole);
    owner.show();
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QWidget* parent = nullptr;
    QTimer::singleShot(0, &owner, [&] {
        ASSERT_TRUE(QTest::qWaitFor(
            [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }, 2000));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        parent = box->parentWidget();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    // Should the box not appear, the safety net closes whatever modal window is open.
    QTimer::singleShot(3000, &owner, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    EXPECT_EQ(messageBox(&owner, QStringLiteral("USB 통신 포트를 여는데 실패했습니다"), kMbIconError), kIdOk);
    EXPECT_EQ(title, QStringLiteral("dialogkit_tests"));
    EXPECT_EQ(text, QStringLiteral("USB 통신 포트를 여는데 실패했습니다"));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(parent, &owner);
}

} // namespace
} // namespace lumora::dialogkit::testing
