#include "dialogkit/Trackbar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionSlider>

#include <algorithm>
#include <utility>

namespace lumora::dialogkit {
namespace {

// The Win32 trackbar starts with the range 0 to 100.
constexpr int kInitialMaximum = 100;

} // namespace

Trackbar::Trackbar(const ControlTemplate& control, Notifier notifier, QWidget* parent)
    : QSlider((control.style & style::kTrackbarVert) != 0 ? Qt::Vertical : Qt::Horizontal, parent)
    , m_notify(std::move(notifier)) {
    setInvertedAppearance(orientation() == Qt::Vertical);
    // The keys are mapped below; inverted controls make the wheel turned away from the user move
    // towards the minimum in both orientations, as the Win32 class does.
    setInvertedControls(true);
    setTickPosition(QSlider::NoTicks);
    // The Win32 channel is one plain groove; styles that fill it from the minimum up to the thumb
    // would show a fader at level 0 as a full bar, so the fill takes the groove's own colour.
    QPalette plain = palette();
    plain.setColor(QPalette::Highlight, plain.color(QPalette::Button));
    setPalette(plain);
    setSingleStep(1);
    applyRange(0, kInitialMaximum);
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (!m_programChange) {
            m_notify(orientation() == Qt::Vertical ? Notification::VerticalScroll
                                                   : Notification::HorizontalScroll);
        }
    });
}

void Trackbar::setPosition(int position) {
    m_programChange = true;
    setValue(position);
    m_programChange = false;
}

void Trackbar::setRangeMax(int maximum) {
    applyRange(minimum(), maximum);
}

void Trackbar::setRange(int minimum, int maximum) {
    applyRange(minimum, maximum);
}

void Trackbar::applyRange(int minimum, int maximum) {
    m_programChange = true;
    QSlider::setRange(minimum, maximum);
    m_programChange = false;
    // The Win32 class keeps its page size at a fifth of the range until the program sets one.
    setPageStep(std::max((maximum - minimum) / 5, 1));
}

QRect Trackbar::thumbRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

void Trackbar::keyPressEvent(QKeyEvent* event) {
    // The Win32 mapping, the same for both orientations; Qt's depends on orientation.
    SliderAction action = SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        action = SliderSingleStepSub;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        action = SliderSingleStepAdd;
        break;
    case Qt::Key_PageUp:
        action = SliderPageStepSub;
        break;
    case Qt::Key_PageDown:
        action = SliderPageStepAdd;
        break;
    case Qt::Key_Home:
        action = SliderToMinimum;
        break;
    case Qt::Key_End:
        action = SliderToMaximum;
        break;
    default:
        QSlider::keyPressEvent(event);
        return;
    }
    triggerAction(action);
    event->accept();
}

void Trackbar::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_captured = true;
    }
    QSlider::mousePressEvent(event);
}

void Trackbar::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && m_captured) {
        m_captured = false;
        m_notify(Notification::ReleasedCapture);
    }
}

} // namespace lumora::dialogkit
