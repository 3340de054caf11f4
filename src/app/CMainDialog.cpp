#include "app/CMainDialog.h"

#include "app/CAboutDialog.h"
#include "dialogkit/BitmapButton.h"
#include "dialogkit/ComboBox.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/Notification.h"
#include "dialogkit/Trackbar.h"
#include "dialogkit/Utf8Text.h"
#include "resources/ControlIds.h"
#include "resources/ImageResources.h"
#include "resources/MainDialogTemplate.h"
#include "resources/StringTable.h"
#include "resources/StripTable.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QStyle>

namespace lumora {

using dialogkit::kNoControl;
using dialogkit::MessageTable;
using dialogkit::Notification;
using dialogkit::NotifyEvent;
namespace ids = resources;

namespace {

// The rows for one notification from each of the 20 strips' faders or edit boxes.
template <typename Handler>
void addStripRows(MessageTable& table, Notification notification, int resources::StripControls::*control,
                  Handler handler) {
    for (int strip = 0; strip < resources::kStripCount; ++strip) {
        const int id = resources::kStripTable[static_cast<std::size_t>(strip)].*control;
        table.add({notification, id, [handler, strip](const NotifyEvent&) {
                       handler(strip);
                   }});
    }
}

} // namespace

CMainDialog::CMainDialog(hw::FtdiDriver& driver, CDmxPort::Timing portTiming)
    : Dialog(resources::mainDialogTemplate())
    , port_(driver, portTiming)
    , icon_(resources::applicationIcon())
    , driver_(driver) {
    MessageTable table;
    table.add({Notification::Destroy, kNoControl, [this](const NotifyEvent&) {
                   onDestroy();
               }});
    table.add({Notification::SysCommand, kNoControl, [this](const NotifyEvent& e) {
                   onSysCommand(e.param);
               }});
    table.add({Notification::Paint, kNoControl, [this](const NotifyEvent&) {
                   onPaint();
               }});
    // Qt never asks for a drag icon; the row stays so the table reads as the window's full routing.
    table.add({Notification::QueryDragIcon, kNoControl, {}});
    table.add({Notification::Clicked, ids::kOpenButton, [this](const NotifyEvent&) {
                   onOpen();
               }});
    table.add({Notification::Clicked, ids::kCloseButton, [this](const NotifyEvent&) {
                   onClose();
               }});
    addStripRows(table, Notification::ReleasedCapture, &resources::StripControls::fader,
                 [this](int strip) { onFaderChanged(strip); });
    table.add({Notification::DoubleClicked, ids::kLogoButton, [this](const NotifyEvent&) {
                   onLogo();
               }});
    addStripRows(table, Notification::TextChanged, &resources::StripControls::edit,
                 [this](int strip) { onEditChanged(strip); });
    table.add({Notification::VerticalScroll, kNoControl, [this](const NotifyEvent& e) {
                   onVerticalScroll(e.controlId);
               }});
    table.add({Notification::HorizontalScroll, kNoControl, [this](const NotifyEvent& e) {
                   onHorizontalScroll(e.controlId);
               }});
    table.add({Notification::DropDown, ids::kPortSelector, [this](const NotifyEvent&) {
                   discoverPorts();
               }});
    table.add({Notification::SelectionConfirmed, ids::kPortSelector, [this](const NotifyEvent&) {
                   onPortSelected();
               }});
    table.add({Notification::Clicked, ids::kClearButton, [this](const NotifyEvent&) {
                   onClear();
               }});
    setMessageTable(std::move(table));
}

CMainDialog::~CMainDialog() = default;

void CMainDialog::bindControls() {
    closeButton_ = controlAs<QPushButton>(ids::kCloseButton);
    portSelector_ = controlAs<dialogkit::ComboBox>(ids::kPortSelector);
    pageSlider_ = controlAs<dialogkit::Trackbar>(ids::kPageSlider);
    logoButton_ = controlAs<dialogkit::BitmapButton>(ids::kLogoButton);
    openButton_ = controlAs<QPushButton>(ids::kOpenButton);
}

void CMainDialog::initDialog() {
    bindControls();
    if (hasSystemMenu()) {
        const auto about = resources::loadString(resources::kAboutMenuStringId);
        if (!about.empty()) {
            systemMenu().appendSeparator();
            systemMenu().appendItem(resources::kAboutCommandId, dialogkit::utf8Text(about));
        }
    }
    setWindowIcon(icon_);
    initialiseControls();
}

void CMainDialog::initialiseControls() {
    firstChannel_ = 0;
    for (int strip = 0; strip < resources::kStripCount; ++strip) {
        labels_[static_cast<std::size_t>(strip)] =
            controlAs<QLabel>(resources::kStripTable[static_cast<std::size_t>(strip)].label);
    }
    showPage(0);
    for (int strip = 0; strip < resources::kStripCount; ++strip) {
        const auto& ids = resources::kStripTable[static_cast<std::size_t>(strip)];
        edits_[static_cast<std::size_t>(strip)] = controlAs<dialogkit::EditBox>(ids.edit);
        faders_[static_cast<std::size_t>(strip)] = controlAs<dialogkit::Trackbar>(ids.fader);
    }
    for (std::size_t strip = 0; strip < resources::kStripCount; ++strip) {
        faders_[strip]->setRangeMax(kTopLevel);
        faders_[strip]->setPosition(kTopLevel);
        edits_[strip]->setText(QStringLiteral("0"));
        edits_[strip]->limitText(3);
    }
    logoButton_->setImages(resources::logoBitmap());
    pageSlider_->setRange(0, kLastFirstChannel);
    discoverPorts();
    portSelector_->setCurrentSelection(0);
    closeButton_->setEnabled(false);
    deviceIndex_ = kNoDevice;
}

bool CMainDialog::preTranslateKey(const QKeyEvent& event) {
    // Enter and Esc would end a dialog; this one ends only through EXIT or the close command.
    const int key = event.key();
    const QString text = event.text();
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter ||
           text == QStringLiteral("\r") || text == QStringLiteral("\x1b");
}

void CMainDialog::onDestroy() {
    port_.close();
}

void CMainDialog::onSysCommand(int commandId) {
    if ((commandId & dialogkit::kSysCommandMask) == resources::kAboutCommandId) {
        CAboutDialog about(this);
        about.doModal();
    } else {
        defaultSysCommand(commandId);
    }
}

void CMainDialog::onPaint() {
    if (!isMinimized()) {
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const int iconSize = style()->pixelMetric(QStyle::PM_LargeIconSize);
    const int x = (width() - iconSize + 1) / 2;
    const int y = (height() - iconSize + 1) / 2;
    icon_.paint(&painter, x, y, iconSize, iconSize);
}

} // namespace lumora
