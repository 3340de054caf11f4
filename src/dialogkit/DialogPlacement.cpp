#include "dialogkit/DialogPlacement.h"

namespace lumora::dialogkit {
namespace {

// One axis: centre, then keep the far edge inside, then the near edge (which therefore wins).
int placeAlong(int length, int overStart, int overLength, int areaStart, int areaLength) {
    int start = overStart + overLength / 2 - length / 2;
    if (start + length > areaStart + areaLength) {
        start = areaStart + areaLength - length;
    }
    if (start < areaStart) {
        start = areaStart;
    }
    return start;
}

} // namespace

QPoint DialogPlacement::centredTopLeft(QSize frame, const QRect& over, const QRect& workArea) {
    return {placeAlong(frame.width(), over.x(), over.width(), workArea.x(), workArea.width()),
            placeAlong(frame.height(), over.y(), over.height(), workArea.y(), workArea.height())};
}

} // namespace lumora::dialogkit
