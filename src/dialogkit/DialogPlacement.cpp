#include "dialogkit/DialogPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

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

DialogPlacement::DialogPlacement(QPoint templatePosition, const DialogUnits& units)
    : templatePosition_(templatePosition)
    , units_(units) {}

void DialogPlacement::place(QWidget& dialog) const {
    QWidget* owner = dialog.parentWidget() != nullptr ? dialog.parentWidget()->window() : nullptr;
    if (templatePosition_ != QPoint(0, 0)) {
        // Relative to the owner's client area, or to the screen without an owner.
        const QPoint origin = owner != nullptr ? owner->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0);
        dialog.move(origin +
                    QPoint(units_.toPixelsX(templatePosition_.x()), units_.toPixelsY(templatePosition_.y())));
        return;
    }
    if (dialog.testAttribute(Qt::WA_Moved)) {
        return; // moved by initDialog
    }
    const bool overOwner = owner != nullptr && owner->isVisible() && !owner->isMinimized();
    QScreen* screen = overOwner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect workArea = screen->availableGeometry();
    const QRect over = overOwner ? owner->frameGeometry() : workArea;
    dialog.move(centredTopLeft(dialog.frameGeometry().size(), over, workArea));
}

QPoint DialogPlacement::centredTopLeft(QSize frame, const QRect& over, const QRect& workArea) {
    return {placeAlong(frame.width(), over.x(), over.width(), workArea.x(), workArea.width()),
            placeAlong(frame.height(), over.y(), over.height(), workArea.y(), workArea.height())};
}

} // namespace lumora::dialogkit
