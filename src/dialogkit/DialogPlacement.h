#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace lumora::dialogkit {

// Where a dialog goes when it is first shown: centred over a rectangle, then moved as far as
// needed to lie inside the work area, the left and top edges winning when the dialog is larger
// than the area. All rectangles are frame rectangles in screen coordinates.
class DialogPlacement {
public:
    static QPoint centredTopLeft(QSize frame, const QRect& over, const QRect& workArea);
};

} // namespace lumora::dialogkit
