#pragma once

#include "dialogkit/DialogTemplate.h"
#include "dialogkit/Notification.h"

#include <QSlider>

class QTimer;

namespace lumora::dialogkit {

// A trackbar with the Win32 class's behaviour: the minimum is at the top of a vertical one and at
// the left of a horizontal one; Up, Left and Page Up move towards the minimum, Down, Right and
// Page Down towards the maximum, Home and End to the ends; turning the wheel away from the user
// moves towards the minimum; the page size is a fifth of the range.
//
// The mouse is handled here rather than by the Qt style, whose hints differ (Fusion and Windows set
// the position with the middle button, some desktop styles with the left): the middle and right
// buttons do nothing; the left button drags the thumb when pressed on it, and pressed elsewhere
// moves the thumb one page towards the pointer, then again and again while it is held, whenever
// the pointer (moved or not) is beyond the thumb in that direction.
//
// Notifications: every move by the user (mouse drag, click on the channel, keys, wheel) raises
// VerticalScroll or HorizontalScroll, by orientation; releasing the left mouse button after
// pressing it on the trackbar raises ReleasedCapture. Changes by the program raise nothing.
class Trackbar : public QSlider {
public:
    Trackbar(const ControlTemplate& control, Notifier notifier, QWidget* parent);

    int position() const { return value(); }
    // TBM_SETPOS: clamped to the range, no notification.
    void setPosition(int position);
    // TBM_SETRANGEMAX and TBM_SETRANGE: the position is clamped into the new range silently.
    void setRangeMax(int maximum);
    void setRange(int minimum, int maximum);
    int rangeMin() const { return minimum(); }
    int rangeMax() const { return maximum(); }

    // Where the thumb is drawn, in the trackbar's coordinates; for driving it with the mouse.
    QRect thumbRect() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void initStyleOption(QStyleOptionSlider* option) const override;

private:
    enum class Held { Nothing, Thumb, Channel };

    void applyRange(int minimum, int maximum);
    // The pixel coordinate of point along the trackbar's axis.
    int along(const QPointF& point) const;
    // The position whose thumb starts at the pixel thumbStart along the axis.
    int positionAt(int thumbStart) const;
    // +1 or -1 to page the thumb towards the pointer, 0 once the thumb covers it.
    int directionTowards(const QPointF& pointer) const;
    void repeatPage();

    Notifier notify_;
    bool programChange_ = false;
    Held held_ = Held::Nothing;
    int grabOffset_ = 0; // where along the thumb the drag took hold of it
    QPointF pointer_;    // where the held button pages towards
    int pageDirection_ = 0;
    QTimer* pageRepeat_;
};

} // namespace lumora::dialogkit
