#include "dialogkit/BitmapButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include <cstddef>
#include <utility>

namespace lumora::dialogkit {
namespace {

constexpr int kClientEdgeWidth = 2;

} // namespace

BitmapButton::BitmapButton(const ControlTemplate& control, Notifier notifier, QWidget* parent)
    : QAbstractButton(parent)
    , notify_(std::move(notifier)) {
    if ((control.exStyle & style::kExClientEdge) != 0) {
        setContentsMargins(kClientEdgeWidth, kClientEdgeWidth, kClientEdgeWidth, kClientEdgeWidth);
    }
}

void BitmapButton::setImages(const QPixmap& normal, const QPixmap& pressed, const QPixmap& focus,
                             const QPixmap& disabled) {
    images_ = {normal, pressed, focus, disabled};
    update();
}

BitmapButton::ImageSlot BitmapButton::drawnSlot() const {
    ImageSlot wanted = ImageSlot::Normal;
    if (isDown()) {
        wanted = ImageSlot::Pressed;
    } else if (hasFocus()) {
        wanted = ImageSlot::Focus;
    } else if (!isEnabled()) {
        wanted = ImageSlot::Disabled;
    }
    return image(wanted).isNull() ? ImageSlot::Normal : wanted;
}

const QPixmap& BitmapButton::image(ImageSlot slot) const {
    return images_[static_cast<std::size_t>(slot)];
}

void BitmapButton::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (contentsMargins().left() > 0) {
        qDrawWinPanel(&painter, rect(), palette(), true);
    }
    const QRect client = contentsRect();
    const QPixmap& picture = image(drawnSlot());
    painter.setClipRect(client);
    painter.drawPixmap(client.topLeft(), picture);
}

void BitmapButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    event->accept();
    notify_(Notification::DoubleClicked);
}

} // namespace lumora::dialogkit
