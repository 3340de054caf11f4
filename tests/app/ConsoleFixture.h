#pragma once

#include "app/CConsoleApp.h"
#include "app/CMainDialog.h"
#include "app/ShellOpen.h"
#include "dialogkit/BitmapButton.h"
#include "dialogkit/ComboBox.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/MessageBox.h"
#include "dialogkit/Trackbar.h"
#include "resources/ControlIds.h"
#include "resources/StripTable.h"
#include "simulated/SimulatedAdapter.h"
#include "simulated/WireDecoder.h"
#include "support/WaitFor.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <array>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace lumora::test {

struct RecordedBox {
    QWidget* owner;
    std::string title;
    std::string text;
    dialogkit::MessageIcon icon;
    // Which of OPEN, CLOSE and the port selector were enabled while the box was up.
    std::array<bool, 3> panelWhileShown;
};

// The real main dialog on the offscreen platform, driving the simulated adapter, with message boxes
// and the desktop's open action recorded instead of shown.
class ConsoleFixture : public ::testing::Test {
protected:
    ConsoleFixture() {
        CConsoleApp::installDialogServices();
        previousPresenter_ =
            dialogkit::setMessageBoxPresenter([this](const dialogkit::MessageBoxRequest& request) {
                QWidget box; // takes the keyboard while up, as a shown box does, when asked to
                if (boxesTakeTheKeyboard) {
                    box.show();
                    EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
                }
                boxes.push_back({request.owner, request.title.toStdString(), request.text.toStdString(),
                                 request.icon, panelState()});
                return dialogkit::kIdOk;
            });
        previousOpener_ = setShellOpener([this](const QUrl& target) {
            opened.push_back(target.toString().toStdString());
            return true;
        });
    }

    ~ConsoleFixture() override {
        if (dialog) {
            dialog->done(dialogkit::kIdCancel);
        }
        dialog.reset();
        dialogkit::setMessageBoxPresenter(previousPresenter_);
        setShellOpener(previousOpener_);
    }

    // Shows the console as the program does; its initialisation runs discovery once.
    void start() {
        dialog =
            std::make_unique<CMainDialog>(adapter, CDmxPort::Timing{.settle = std::chrono::milliseconds(0)});
        dialog->show();
        QApplication::processEvents();
    }

    void attachAdapter() { adapter.attach({}); }

    std::array<bool, 3> panelState() const {
        if (!dialog || !button(resources::kOpenButton)) {
            return {};
        }
        return {button(resources::kOpenButton)->isEnabled(), button(resources::kCloseButton)->isEnabled(),
                selector()->isEnabled()};
    }

    static const resources::StripControls& strip(int k) {
        return resources::kStripTable[static_cast<std::size_t>(k)];
    }
    dialogkit::EditBox* edit(int k) const { return dialog->controlAs<dialogkit::EditBox>(strip(k).edit); }
    dialogkit::Trackbar* fader(int k) const { return dialog->controlAs<dialogkit::Trackbar>(strip(k).fader); }
    QLabel* label(int k) const { return dialog->controlAs<QLabel>(strip(k).label); }
    QPushButton* button(int id) const { return dialog->controlAs<QPushButton>(id); }
    dialogkit::Trackbar* pageSlider() const {
        return dialog->controlAs<dialogkit::Trackbar>(resources::kPageSlider);
    }
    dialogkit::ComboBox* selector() const {
        return dialog->controlAs<dialogkit::ComboBox>(resources::kPortSelector);
    }

    void click(int id) { QTest::mouseClick(button(id), Qt::LeftButton); }

    // The desktop's scale enlarges a dialog and keeps its layout: controls where base units of 8 x 12
    // (Windows: 7 x 12) put them, the window's device pixels times the scale, every caption's ink inside.
    static void expectTheLayoutOfOneHundredPercent(dialogkit::Dialog& shown,
                                                   const dialogkit::DialogTemplate& layout) {
        const dialogkit::DialogUnits unscaled(QSysInfo::productType() == "windows" ? 7 : 8, 12);
        const QList<QWidget*> controls = shown.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        ASSERT_EQ(static_cast<std::size_t>(controls.size()), layout.controls.size());
        for (std::size_t i = 0; i < layout.controls.size(); ++i) {
            const dialogkit::ControlTemplate& control = layout.controls[i];
            const QWidget* widget = controls[static_cast<qsizetype>(i)];
            const QRect expected = unscaled.toPixels(control.x, control.y, control.cx, control.cy);
            EXPECT_EQ(widget->geometry().topLeft(), expected.topLeft()) << control.text;
            if (control.iconId == 0) { // an icon static takes the icon's own size
                EXPECT_EQ(widget->width(), expected.width()) << control.text;
            }
            if (const auto* caption = qobject_cast<const QLabel*>(widget)) {
                const QFontMetrics metrics = caption->fontMetrics();
                const int left = (caption->alignment() & Qt::AlignHCenter) != 0
                                     ? (caption->width() - metrics.horizontalAdvance(caption->text())) / 2
                                     : 0;
                const QRect ink = metrics.tightBoundingRect(caption->text()).translated(left, 0);
                EXPECT_TRUE(ink.isEmpty() || (ink.left() >= 0 && ink.right() < caption->width()))
                    << control.text;
            }
        }
        const QSizeF window = QSizeF(unscaled.toPixels(layout.cx, layout.cy)) * shown.devicePixelRatioF();
        EXPECT_NEAR(shown.grab().width(), window.width(), 1.0);
        EXPECT_NEAR(shown.grab().height(), window.height(), 1.0);
    }

    // Waits for the first frame whose whole cycle comes after now and returns it. The frame whose
    // break follows now at once may have taken its levels just before, so it is passed over.
    hw::WireFrame nextWholeFrame() {
        const auto after = std::chrono::steady_clock::now();
        hw::WireFrame found;
        const bool arrived = waitFor([&] {
            bool passedOver = false;
            for (const hw::WireFrame& frame : hw::decodeWireFrames(adapter.calls())) {
                if (frame.breakStart > after && frame.slotBytes.size() == kChannelCount) {
                    if (passedOver) {
                        found = frame;
                        return true;
                    }
                    passedOver = true;
                }
            }
            return false;
        });
        EXPECT_TRUE(arrived) << "no frame reached the adapter";
        return found;
    }

    hw::SimulatedAdapter adapter{hw::SimulatedAdapter::Timing{std::chrono::microseconds(0), 128}};
    std::unique_ptr<CMainDialog> dialog;
    std::vector<RecordedBox> boxes;
    bool boxesTakeTheKeyboard = false;
    std::vector<std::string> opened;

private:
    dialogkit::MessageBoxPresenter previousPresenter_;
    ShellOpener previousOpener_;
};

} // namespace lumora::test
