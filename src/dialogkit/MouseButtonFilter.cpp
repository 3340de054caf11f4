#include "dialogkit/MouseButtonFilter.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace lumora::dialogkit {

MouseButtonFilter::MouseButtonFilter(QWidget& dialog)
    : dialog_(dialog) {
    QApplication::instance()->installEventFilter(this);
}

MouseButtonFilter::~MouseButtonFilter() {
    QApplication::instance()->removeEventFilter(this);
}

bool MouseButtonFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    const bool press = type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick;
    if ((!press && type != QEvent::MouseButtonRelease) || watched != dialog_.windowHandle()) {
        return false;
    }
    const auto& mouse = static_cast<const QMouseEvent&>(*event);
    if (mouse.button() == Qt::MiddleButton) {
        return true;
    }
    if (mouse.button() != Qt::RightButton || !press) {
        return false;
    }
    const QWidget* target = dialog_.childAt(mouse.position().toPoint());
    return qobject_cast<const QAbstractSlider*>(target) != nullptr ||
           qobject_cast<const QAbstractButton*>(target) != nullptr;
}

} // namespace lumora::dialogkit
