#include "dialogkit/ControlSet.h"

#include "dialogkit/BitmapButton.h"
#include "dialogkit/ComboBox.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/Trackbar.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace lumora::dialogkit {
namespace {

IconLoader& iconLoader() {
    static IconLoader loader;
    return loader;
}

} // namespace

ControlSet::ControlSet(const DialogTemplate& dialogTemplate, const DialogUnits& units, QWidget& dialog,
                       const Notify& notify, const Command& command) {
    const ControlFactory factory(units, iconLoader());
    controls_.reserve(dialogTemplate.controls.size());
    for (const ControlTemplate& control : dialogTemplate.controls) {
        const int id = control.id;
        const Notifier notifier = [notify, id](Notification notification) {
            notify(notification, id);
        };
        QWidget* widget = factory.create(control, notifier, &dialog);
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            QObject::connect(button, &QAbstractButton::clicked, &dialog, [command, id] { command(id); });
        }
        controls_.push_back({id, widget});
        groups_.add(widget, control);
    }
}

void ControlSet::setIconLoader(IconLoader loader) {
    iconLoader() = std::move(loader);
}

QWidget* ControlSet::find(int id) const {
    const auto found = std::find_if(controls_.begin(), controls_.end(),
                                    [id](const Control& control) { return control.id == id; });
    return found == controls_.end() ? nullptr : found->widget;
}

template <typename T> T* ControlSet::findAs(int id) const {
    return dynamic_cast<T*>(find(id));
}

template QPushButton* ControlSet::findAs<QPushButton>(int id) const;
template BitmapButton* ControlSet::findAs<BitmapButton>(int id) const;
template EditBox* ControlSet::findAs<EditBox>(int id) const;
template QLabel* ControlSet::findAs<QLabel>(int id) const;
template ComboBox* ControlSet::findAs<ComboBox>(int id) const;
template Trackbar* ControlSet::findAs<Trackbar>(int id) const;

} // namespace lumora::dialogkit
