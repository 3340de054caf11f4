#pragma once

#include "dialogkit/ControlFactory.h"
#include "dialogkit/ControlGroups.h"
#include "dialogkit/DialogTemplate.h"
#include "dialogkit/DialogUnits.h"
#include "dialogkit/Notification.h"

#include <functional>
#include <vector>

class QWidget;

namespace lumora::dialogkit {

// The controls of one dialog: a widget per template control, made in template order (which is also
// the Tab order) and found by id. Notifications and button clicks go to the dialog with the
// control's id. The controls' WS_GROUP bits make the arrow-key groups.
class ControlSet {
public:
    using Notify = std::function<void(Notification notification, int controlId)>;
    using Command = std::function<void(int controlId)>;

    ControlSet() = default;
    ControlSet(const DialogTemplate& dialogTemplate, const DialogUnits& units, QWidget& dialog,
               const Notify& notify, const Command& command);

    // Process-wide: who loads the icons of static icons. Set before dialogs are created.
    static void setIconLoader(IconLoader loader);

    // The control with this id (the first one, for ids that several statics share), or nullptr.
    QWidget* find(int id) const;
    // As find, and nullptr also for a control that is not a T. T is one of the classes that
    // ControlFactory makes.
    template <typename T> T* findAs(int id) const;

    const ControlGroups& groups() const { return groups_; }

private:
    struct Control {
        int id;
        QWidget* widget;
    };

    std::vector<Control> controls_;
    ControlGroups groups_;
};

} // namespace lumora::dialogkit
