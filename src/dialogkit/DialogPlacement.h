#pragma once

#include "dialogkit/DialogUnits.h"

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace lumora::dialogkit {

// Where a dialog goes when it is first shown. A template at (0, 0) not moved before showing is
// centred over its owner's frame when the owner is visible and not minimised, else on the primary
// screen's work area, then kept inside that screen's work area; another template position is taken
// as dialog units from the owner's client origin (or the screen's origin without an owner).
class DialogPlacement {
public:
    DialogPlacement(QPoint templatePosition, const DialogUnits& units);

    // Moves dialog, whose native window exists, to its first place.
    void place(QWidget& dialog) const;

    // Centred over a rectangle, then moved as far as needed to lie inside the work area, the left
    // and top edges winning when the dialog is larger than the area. All rectangles are frame
    // rectangles in screen coordinates.
    static QPoint centredTopLeft(QSize frame, const QRect& over, const QRect& workArea);

private:
    QPoint templatePosition_;
    DialogUnits units_;
};

} // namespace lumora::dialogkit
