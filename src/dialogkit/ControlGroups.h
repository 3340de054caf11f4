#pragma once

#include "dialogkit/DialogTemplate.h"

#include <vector>

class QWidget;

namespace lumora::dialogkit {

// The arrow-key groups of a dialog, as the platform's dialog manager forms them: a group runs from
// a control with WS_GROUP up to the next one, in template order, and wraps from the last control to
// the first. Controls are added in template order.
class ControlGroups {
public:
    void add(QWidget* widget, const ControlTemplate& control);

    // Where an arrow key moves the focus from focus: the next (forward) or previous enabled, shown
    // control of its group, wrapping within the group, or focus itself when it is alone. nullptr
    // when focus is no control of the dialog or takes the arrow keys itself (edit boxes, combo
    // boxes, trackbars).
    QWidget* next(const QWidget* focus, bool forward) const;

private:
    struct Member {
        QWidget* widget;
        bool startsGroup;
        bool takesArrows;
    };

    // The members of the group that member index belongs to, in template order.
    std::vector<std::size_t> groupOf(std::size_t index) const;

    std::vector<Member> members_;
};

} // namespace lumora::dialogkit
