#include "dialogkit/Trackbar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace lumora::dialogkit {
namespace {

// The Win32 trackbar starts with the range 0 to 100.
constexpr int kInitialMaximum = 100;
// A held button pages again after this pause, then at the shorter interval, as Qt's scroll bars do.
constexpr int kFirstRepeatMs = 500;
constexpr int kRepeatMs = 50;

} // namespace

Trackbar::Trackbar(const ControlTemplate& control, Notifier notifier, QWidget* parent)
    : QSlider((control.style & style::kTrackbarVert) != 0 ? Qt::Vertical : Qt::Horizontal, parent)
    , notify_(std::move(notifier))
    , pageRepeat_(new QTimer(this)) {
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
    pageRepeat_->setObjectName(QStringLiteral("pageRepeat"));
    connect(pageRepeat_, &QTimer::timeout, this, [this] { repeatPage(); });
    connect(this, &QAbstractSlider::valueChanged, this, [this] {
        if (!programChange_) {
            notify_(orientation() == Qt::Vertical ? Notification::VerticalScroll
                                                  : Notification::HorizontalScroll);
        }
    });
}

void Trackbar::setPosition(int position) {
    programChange_ = true;
    setValue(position);
    programChange_ = false;
}

void Trackbar::setRangeMax(int maximum) {
    applyRange(minimum(), maximum);
}

void Trackbar::setRange(int minimum, int maximum) {
    applyRange(minimum, maximum);
}

void Trackbar::applyRange(int minimum, int maximum) {
    programChange_ = true;
    QSlider::setRange(minimum, maximum);
    programChange_ = false;
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
    // Other buttons, or a second button while one is held, do nothing; accepted so that no
    // surrounding widget takes them either.
    event->accept();
    if (event->button() != Qt::LeftButton || event->buttons() != Qt::LeftButton) {
        return;
    }
    const QRect thumb = thumbRect();
    if (thumb.contains(event->position().toPoint())) {
        held_ = Held::Thumb;
        grabOffset_ = along(event->position()) - along(thumb.topLeft());
        setSliderDown(true);
        return;
    }
    held_ = Held::Channel;
    pointer_ = event->position();
    pageDirection_ = directionTowards(pointer_);
    if (pageDirection_ != 0) {
        triggerAction(pageDirection_ > 0 ? SliderPageStepAdd : SliderPageStepSub);
        pageRepeat_->start(kFirstRepeatMs);
    }
}

void Trackbar::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (held_ == Held::Thumb) {
        setSliderPosition(positionAt(along(event->position()) - grabOffset_));
    } else if (held_ == Held::Channel) {
        pointer_ = event->position();
    }
}

void Trackbar::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton || held_ == Held::Nothing) {
        return;
    }
    pageRepeat_->stop();
    if (held_ == Held::Thumb) {
        setSliderDown(false);
    }
    held_ = Held::Nothing;
    notify_(Notification::ReleasedCapture);
}

void Trackbar::initStyleOption(QStyleOptionSlider* option) const {
    QSlider::initStyleOption(option);
    if (held_ == Held::Thumb) {
        option->activeSubControls = QStyle::SC_SliderHandle;
        option->state |= QStyle::State_Sunken;
    }
}

int Trackbar::along(const QPointF& point) const {
    return qRound(orientation() == Qt::Vertical ? point.y() : point.x());
}

int Trackbar::positionAt(int thumbStart) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect thumb = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const bool vertical = orientation() == Qt::Vertical;
    const int first = vertical ? groove.top() : groove.left();
    const int thumbLength = vertical ? thumb.height() : thumb.width();
    const int span = (vertical ? groove.height() : groove.width()) - thumbLength;
    return QStyle::sliderValueFromPosition(minimum(), maximum(), thumbStart - first, span, option.upsideDown);
}

int Trackbar::directionTowards(const QPointF& pointer) const {
    const QRect thumb = thumbRect();
    const int at = along(pointer);
    const bool vertical = orientation() == Qt::Vertical;
    const int thumbStart = vertical ? thumb.top() : thumb.left();
    const int thumbEnd = vertical ? thumb.bottom() : thumb.right();
    if (at >= thumbStart && at <= thumbEnd) {
        return 0;
    }
    // The position that would put the thumb's middle under the pointer, whichever way the
    // trackbar's appearance runs.
    const int target = positionAt(at - (thumbEnd - thumbStart) / 2);
    return target > value() ? 1 : (target < value() ? -1 : 0);
}

void Trackbar::repeatPage() {
    pageRepeat_->setInterval(kRepeatMs);
    // The repeat goes on until the button is released, paging only while the pointer is beyond
    // the thumb, as the platform trackbar does; it ends on a trackbar disabled meanwhile.
    if (!isEnabled()) {
        pageRepeat_->stop();
        return;
    }
    if (directionTowards(pointer_) == pageDirection_) {
        triggerAction(pageDirection_ > 0 ? SliderPageStepAdd : SliderPageStepSub);
    }
}

} // namespace lumora::dialogkit
