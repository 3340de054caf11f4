// The port panel of the main dialog: OPEN, CLOSE, the port selector and the logo.

#include "app/CMainDialog.h"
#include "app/ShellOpen.h"
#include "dialogkit/ComboBox.h"
#include "dialogkit/MessageBox.h"
#include "dialogkit/Utf8Text.h"
#include "discovery/DiscoverySink.h"
#include "discovery/PortDiscovery.h"
#include "resources/OperatorMessages.h"

#include <QPushButton>

namespace lumora {

namespace {

// What the operator reads for each reason discovery gives.
std::string_view problemMessage(DiscoveryProblem problem) {
    switch (problem) {
    case DiscoveryProblem::NoAdapter:
        return resources::kAdapterNotFoundMessage;
    case DiscoveryProblem::ListUnreadable:
        return resources::kDeviceListUnreadableMessage;
    }
    return resources::kAdapterNotFoundMessage;
}

// Discovery's findings go into the port selector and the dialog's message boxes.
class SelectorSink : public DiscoverySink {
public:
    SelectorSink(QWidget& owner, dialogkit::ComboBox& selector)
        : owner_(owner)
        , selector_(selector) {}

    void appendEntry(std::string_view label) override { selector_.addString(dialogkit::utf8Text(label)); }
    void reportProblem(DiscoveryProblem problem) override {
        dialogkit::messageBox(&owner_, dialogkit::utf8Text(problemMessage(problem)));
    }

private:
    QWidget& owner_;
    dialogkit::ComboBox& selector_;
};

} // namespace

PortsFound CMainDialog::discoverPorts() {
    SelectorSink sink(*this, *portSelector_);
    return lumora::discoverPorts(driver_, deviceIndex_, sink);
}

void CMainDialog::onOpen() {
    openFoundPort();
    // No control keeps the focus, opened or not: after a failure OPEN would keep the one its click
    // gave it, and get it back when the message box goes; a stray Space would press it again, an
    // arrow move on to CLEAR.
    clearControlFocus();
}

void CMainDialog::openFoundPort() {
    const PortsFound found = discoverPorts();
    if (!found.usable) {
        return;
    }
    // A run that finds no adapter keeps the index of an earlier one, and by now another device (a
    // serial cable, another FTDI interface) may sit at that list position: only a position that this
    // run found as an FT232R is opened. An open port touches no device and stays as it is.
    if ((found.foundNow || port_.isOpen()) && port_.open(deviceIndex_)) {
        portSelector_->setEnabled(false);
        closeButton_->setEnabled(true);
        openButton_->setEnabled(false);
        return;
    }
    openButton_->setEnabled(true);
    closeButton_->setEnabled(false);
    dialogkit::messageBox(this, dialogkit::utf8Text(resources::kPortOpenFailedMessage),
                          dialogkit::kMbOk | dialogkit::kMbIconError);
    portSelector_->setEnabled(true);
}

void CMainDialog::onClose() {
    port_.close();
    portSelector_->setEnabled(false);
    closeButton_->setEnabled(false);
    openButton_->setEnabled(true);
}

void CMainDialog::onPortSelected() {
    deviceIndex_ = portSelector_->currentSelection();
}

void CMainDialog::onLogo() {
    shellOpen(QUrl(QString::fromLatin1(kMakerAddress)));
}

} // namespace lumora
