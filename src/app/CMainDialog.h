#pragma once

#include "dialogkit/Dialog.h"
#include "discovery/PortDiscovery.h"
#include "dmx/CDmxPort.h"
#include "dmx/ChannelLevels.h"
#include "hw/DeviceIndex.h"
#include "resources/StripTable.h"

#include <QIcon>

#include <array>
#include <cstdint>

class QLabel;
class QPushButton;

namespace lumora {

namespace dialogkit {
class BitmapButton;
class ComboBox;
class EditBox;
class Trackbar;
} // namespace dialogkit
namespace hw {
class FtdiDriver;
}

// The console's one window: 20 channel strips paged over the 512 channels, the port panel (OPEN,
// CLOSE, the hidden port selector, the logo) and CLEAR. It owns the DMX port and the levels.
class CMainDialog : public dialogkit::Dialog {
public:
    // The first channel of the last page: the page that ends with the universe's last channel.
    static constexpr int kLastFirstChannel = static_cast<int>(kChannelCount) - resources::kStripCount;
    static constexpr const char* kMakerAddress = "https://lumora.example/";

    explicit CMainDialog(hw::FtdiDriver& driver, CDmxPort::Timing portTiming = {});
    ~CMainDialog() override;

    // Finds the FT232R adapters, lists them in the port selector and updates the device index.
    PortsFound discoverPorts();

    const ChannelLevels& levels() const { return levels_; }
    int firstChannel() const { return firstChannel_; }
    DeviceIndex deviceIndex() const { return deviceIndex_; }
    const CDmxPort& port() const { return port_; }

protected:
    void initDialog() override;
    bool preTranslateKey(const QKeyEvent& event) override;

private:
    void bindControls();
    void initialiseControls();

    void onDestroy();
    void onSysCommand(int commandId);
    void onPaint();

    void onOpen();
    // Discovery, then the port at the index it left; a message box says when it is not opened.
    void openFoundPort();
    void onClose();
    void onPortSelected();
    void onLogo();

    void showPage(int first);
    void onFaderChanged(int strip);
    void onVerticalScroll(int controlId);
    void onEditChanged(int strip);
    void onHorizontalScroll(int controlId);
    void onClear();
    void storeLevel(int strip, int level);

    QPushButton* closeButton_ = nullptr;
    dialogkit::ComboBox* portSelector_ = nullptr;
    dialogkit::Trackbar* pageSlider_ = nullptr;
    dialogkit::BitmapButton* logoButton_ = nullptr;
    QPushButton* openButton_ = nullptr;
    CDmxPort port_;
    int firstChannel_ = 0;
    DeviceIndex deviceIndex_ = kNoDevice;
    ChannelLevels levels_{};
    std::array<QLabel*, resources::kStripCount> labels_{};
    std::array<dialogkit::EditBox*, resources::kStripCount> edits_{};
    std::array<dialogkit::Trackbar*, resources::kStripCount> faders_{};
    QIcon icon_;

    hw::FtdiDriver& driver_;
};

} // namespace lumora
