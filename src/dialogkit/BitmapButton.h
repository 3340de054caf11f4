#pragma once

#include "dialogkit/DialogTemplate.h"
#include "dialogkit/Notification.h"

#include <QAbstractButton>
#include <QPixmap>

#include <array>

namespace lumora::dialogkit {

// An owner-drawn button that shows a bitmap chosen by its state: the pressed image while pressed,
// else the focus image while focused, else the disabled image while disabled, else the normal
// image; a state whose image was never set shows the normal one. The image is copied pixel for
// pixel from its top-left corner into the client rectangle, never scaled; no focus rectangle and
// no pressed look are drawn. With WS_EX_CLIENTEDGE a sunken two-pixel edge surrounds the client
// rectangle. The template text is never drawn.
//
// Notifications: a click raises Clicked (through the dialog); the second press of a double click
// raises DoubleClicked instead of pressing the button, so a double click gives Clicked once and
// then DoubleClicked.
class BitmapButton : public QAbstractButton {
public:
    enum class ImageSlot { Normal, Pressed, Focus, Disabled };

    BitmapButton(const ControlTemplate& control, Notifier notifier, QWidget* parent);

    // Replaces all four images; an empty pixmap leaves its slot unset.
    void setImages(const QPixmap& normal, const QPixmap& pressed = {}, const QPixmap& focus = {},
                   const QPixmap& disabled = {});
    // The slot whose image the current state draws.
    ImageSlot drawnSlot() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const QPixmap& image(ImageSlot slot) const;

    std::array<QPixmap, 4> images_;
    Notifier notify_;
};

} // namespace lumora::dialogkit
