#pragma once

#include "dialogkit/DialogTemplate.h"
#include "dialogkit/DialogUnits.h"
#include "dialogkit/Notification.h"

#include <QIcon>

#include <functional>

class QWidget;

namespace lumora::dialogkit {

// Loads an icon resource by id, for static icons; set by the application.
using IconLoader = std::function<QIcon(int iconId)>;

// Makes the widget for one template control, with its place, size and style bits applied:
// hidden without WS_VISIBLE, disabled with WS_DISABLED; focus by Tab and by click with
// WS_TABSTOP, by click only without it (as Win32 controls take the focus when clicked), never for
// statics. WS_GROUP is for ControlGroups; ES_UPPERCASE needs nothing, as the only edit boxes accept
// digits only.
//
// Push buttons become QPushButton (not auto-default; BS_DEFPUSHBUTTON makes the default button),
// owner-drawn buttons BitmapButton, edit boxes EditBox, statics QLabel (plain text; SS_ICON shows
// the icon at its own size), combo boxes ComboBox, trackbars Trackbar.
class ControlFactory {
public:
    ControlFactory(const DialogUnits& units, IconLoader icons);

    QWidget* create(const ControlTemplate& control, const Notifier& notifier, QWidget* parent) const;

private:
    QWidget* createButton(const ControlTemplate& control, const Notifier& notifier, QWidget* parent) const;
    QWidget* createStatic(const ControlTemplate& control, QWidget* parent) const;
    QRect pixelRect(const ControlTemplate& control) const;

    DialogUnits units_;
    IconLoader icons_;
};

} // namespace lumora::dialogkit
