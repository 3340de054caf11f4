#pragma once

#include <QObject>

class QWidget;

namespace lumora::dialogkit {

// Keeps from one dialog's controls the mouse buttons that the platform's controls ignore. Qt gives
// a control the focus on a press of any button, before the control sees the press; the platform's
// controls take it on the left button only, and the edit box also on the right one, with its menu.
// On a live rig a control focused by surprise takes the next stray key as a level.
//
// So the middle button never reaches a control, nor the dialog: neither its presses (the focus)
// nor its release (on which Qt's edit box pastes the X selection, which a double click elsewhere
// sets unnoticed). The right button's presses never reach a fader or a button, which have no menu
// of their own; its release still does, so that a fader held with the left button is not let go,
// and the edit box and the dialog's free area keep their menus.
//
// Everything goes through the dialog's window, as the window system delivers it.
class MouseButtonFilter : public QObject {
public:
    explicit MouseButtonFilter(QWidget& dialog);
    ~MouseButtonFilter() override;
    MouseButtonFilter(const MouseButtonFilter&) = delete;
    MouseButtonFilter& operator=(const MouseButtonFilter&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& dialog_;
};

} // namespace lumora::dialogkit
