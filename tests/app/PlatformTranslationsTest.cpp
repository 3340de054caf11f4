#include "ConsoleFixture.h"
#include "support/RefusingDriver.h"

#include <QLocale>
#include <QMessageBox>
#include <QTimer>

using namespace lumora;
using namespace lumora::test;

namespace {

struct DesktopLanguage {
    QLocale::Language language;
    QLocale::Territory territory;
    const char* okButton;
};

} // namespace

struct PlatformTexts : ConsoleFixture, ::testing::WithParamInterface<DesktopLanguage> {};

// A real box from the console: the button is the platform's and speaks the desktop's language, the
// message is the console's own and stays Korean. The application object chooses the language, as
// at start-up.
TEST_P(PlatformTexts, FollowTheDesktopWhileTheConsoleSpeaksKorean) {
    const CConsoleApp application(std::make_unique<RefusingDriver>(),
                                  QLocale(GetParam().language, GetParam().territory));
    start();
    dialogkit::setMessageBoxPresenter({});
    QString button;
    QString message;
    QTimer::singleShot(0, dialog.get(), [&] {
        ASSERT_TRUE(QTest::qWaitFor(
            [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr; },
            static_cast<int>(kHangGuard.count())));
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        button = box->button(QMessageBox::Ok)->text();
        message = box->text();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    // Should the box not appear, the hang guard closes whatever modal window is open.
    QTimer::singleShot(kHangGuard, dialog.get(), [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
        }
    });
    click(resources::kOpenButton); // no adapter: discovery says so
    EXPECT_EQ(button, QString::fromUtf8(GetParam().okButton));
    EXPECT_EQ(message, "FT232R USB UART 장치를 찾지 못했습니다.");
}

INSTANTIATE_TEST_SUITE_P(Desktops, PlatformTexts,
                         ::testing::Values(DesktopLanguage{QLocale::Korean, QLocale::SouthKorea, "확인"},
                                           DesktopLanguage{QLocale::English, QLocale::UnitedStates, "OK"}),
                         [](const auto& row) {
                             return QLocale::languageToCode(row.param.language).toStdString();
                         });
