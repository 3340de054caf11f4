#include "ConsoleFixture.h"
#include "app/CAboutDialog.h"
#include "resources/AboutDialogTemplate.h"
#include "resources/ImageResources.h"

#include <QTimer>

using namespace lumora;
using namespace lumora::test;

namespace {

// Runs check on the About box once it is up, then closes it with close.
template <typename Check, typename Close> void whileAboutBoxIsUp(Check check, Close close) {
    QTimer::singleShot(0, [=] {
        QTest::qWait(20);
        auto* about = dynamic_cast<dialogkit::Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(about, nullptr);
        check(*about);
        close(*about);
    });
}

} // namespace

using AboutBox = ConsoleFixture;

TEST_F(AboutBox, TheSystemMenuOffersItAfterASeparator) {
    start();
    const auto& items = dialog->systemMenu().items();
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[items.size() - 2].commandId, 0) << "separator";
    EXPECT_EQ(items.back().commandId, 16);
    EXPECT_EQ(items.back().text, "DMX 정보(&A)...");
}

TEST_F(AboutBox, ShowsVersionAndIconCentredOverTheConsole) {
    start();
    bool checked = false;
    whileAboutBoxIsUp(
        [&](dialogkit::Dialog& about) {
            EXPECT_EQ(about.windowTitle(), "DMX 정보");
            EXPECT_EQ(about.templateId(), resources::kAboutDialogId);
            QStringList texts;
            for (QLabel* label : about.findChildren<QLabel*>()) {
                texts << label->text();
                if (label->text().isEmpty()) {
                    EXPECT_FALSE(label->pixmap().isNull()) << "the icon static";
                }
            }
            EXPECT_TRUE(texts.contains("DMX 버전 1.0"));
            EXPECT_EQ(about.controlAs<QPushButton>(dialogkit::kIdOk)->text(), "확인");
            expectTheLayoutOfOneHundredPercent(about, resources::aboutDialogTemplate());
            const QPoint offset = about.frameGeometry().center() - dialog->frameGeometry().center();
            EXPECT_LE(std::abs(offset.x()), 1);
            EXPECT_LE(std::abs(offset.y()), 1);
            checked = true;
        },
        [](dialogkit::Dialog& about) {
            QTest::mouseClick(about.controlAs<QPushButton>(dialogkit::kIdOk), Qt::LeftButton);
        });
    EXPECT_TRUE(dialog->chooseSystemMenuItem(16));
    EXPECT_TRUE(checked);
    EXPECT_FALSE(dialog->hasEnded());
}

TEST_F(AboutBox, EnterAndEscCloseIt) {
    start();
    for (const auto key : {Qt::Key_Return, Qt::Key_Escape}) {
        bool closed = false;
        whileAboutBoxIsUp([](dialogkit::Dialog&) {},
                          [&](dialogkit::Dialog& about) {
                              QTest::keyClick(&about, key);
                              closed = about.hasEnded();
                              about.endDialog(0); // fails at once when the key did not close it
                          });
        dialog->chooseSystemMenuItem(16);
        EXPECT_TRUE(closed) << "key " << key;
    }
}

using Help = ConsoleFixture;

TEST_F(Help, F1WithoutAHelpFileSaysTheHelpCouldNotStart) {
    start();
    boxes.clear();
    QTest::keyClick(dialog.get(), Qt::Key_F1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "도움말 시작 실패.");
    EXPECT_TRUE(opened.empty());

    boxes.clear();
    QTest::keyClick(dialog.get(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_TRUE(boxes.empty()) << "only F1 alone asks for help";
}

TEST_F(AboutBox, TheLogoButtonShowsTheLogoUnscaledInEveryState) {
    start();
    auto* logo = dialog->controlAs<dialogkit::BitmapButton>(resources::kLogoButton);
    const QImage image = resources::logoImage().convertToFormat(QImage::Format_RGB32);
    auto samePixels = [&] {
        const QImage shot = logo->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QPoint inside = logo->contentsRect().topLeft();
        for (const QPoint p : {QPoint(10, 10), QPoint(40, 15), QPoint(70, 8)}) {
            if (shot.pixel(inside + p) != image.pixel(p)) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(samePixels());
    logo->setFocus();
    EXPECT_TRUE(samePixels()) << "focused";
    logo->setDown(true);
    EXPECT_TRUE(samePixels()) << "pressed";
    logo->setDown(false);
    logo->setEnabled(false);
    EXPECT_TRUE(samePixels()) << "disabled";
}
