#pragma once

#include "dialogkit/DialogTemplate.h"
#include "dialogkit/Notification.h"

#include <QSlider>

namespace lumora::dialogkit {

// A trackbar with the Win32 class's behaviour: the minimum is at the top of a vertical one and at
// the left of a horizontal one; Up, Left and Page Up move towards the minimum, Down, Right and
// Page Down towards the maximum, Home and End to the ends; turning the wheel away from the user
// moves towards the minimum; the page size is a fifth of the range.
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
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyRange(int minimum, int maximum);

    Notifier m_notify;
    bool m_programChange = false;
    bool m_captured = false;
};

} // namespace lumora::dialogkit
