#include "dialogkit/ControlFactory.h"

#include "dialogkit/BitmapButton.h"
#include "dialogkit/ComboBox.h"
#include "dialogkit/EditBox.h"
#include "dialogkit/Trackbar.h"
#include "dialogkit/Utf8Text.h"

#include <QLabel>
#include <QPushButton>

#include <utility>

namespace lumora::dialogkit {
namespace {

// The size SS_ICON gives a static whose icon reports no size of its own.
constexpr int kSystemIconSize = 32;

} // namespace

ControlFactory::ControlFactory(const DialogUnits& units, IconLoader icons)
    : units_(units)
    , icons_(std::move(icons)) {}

QWidget* ControlFactory::create(const ControlTemplate& control, const Notifier& notifier,
                                QWidget* parent) const {
    QWidget* widget = nullptr;
    switch (control.kind) {
    case ControlClass::Button:
        widget = createButton(control, notifier, parent);
        break;
    case ControlClass::Edit:
        widget = new EditBox(control, notifier, parent);
        widget->setGeometry(pixelRect(control));
        break;
    case ControlClass::Static:
        widget = createStatic(control, parent);
        break;
    case ControlClass::ComboBox: {
        auto* combo = new ComboBox(notifier, parent);
        // The template height includes the dropped-down list; the closed box takes its own height.
        const QRect rect = pixelRect(control);
        combo->setGeometry(rect.x(), rect.y(), rect.width(), combo->sizeHint().height());
        widget = combo;
        break;
    }
    case ControlClass::Trackbar:
        widget = new Trackbar(control, notifier, parent);
        widget->setGeometry(pixelRect(control));
        break;
    }
    if (control.kind == ControlClass::Static) {
        widget->setFocusPolicy(Qt::NoFocus);
    } else {
        widget->setFocusPolicy((control.style & style::kTabStop) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
    }
    widget->setEnabled((control.style & style::kDisabled) == 0);
    if ((control.style & style::kVisible) == 0) {
        widget->setVisible(false);
    }
    return widget;
}

QWidget* ControlFactory::createButton(const ControlTemplate& control, const Notifier& notifier,
                                      QWidget* parent) const {
    const std::uint32_t type = control.style & style::kButtonTypeMask;
    if (type == style::kOwnerDraw) {
        auto* button = new BitmapButton(control, notifier, parent);
        button->setGeometry(pixelRect(control));
        return button;
    }
    auto* button = new QPushButton(utf8Text(control.text), parent);
    // Return on a focused auto-default button would click it even when the dialog swallows the key.
    button->setAutoDefault(false);
    button->setDefault(type == style::kDefPushButton);
    button->setGeometry(pixelRect(control));
    return button;
}

QWidget* ControlFactory::createStatic(const ControlTemplate& control, QWidget* parent) const {
    auto* label = new QLabel(parent);
    const std::uint32_t type = control.style & style::kStaticTypeMask;
    if (type == style::kStaticIcon) {
        const QIcon icon = icons_ ? icons_(control.iconId) : QIcon();
        const QSize size = icon.availableSizes().value(0, QSize(kSystemIconSize, kSystemIconSize));
        label->setPixmap(icon.pixmap(size));
        label->setGeometry(QRect(pixelRect(control).topLeft(), size));
        return label;
    }
    label->setTextFormat(Qt::PlainText);
    label->setText(utf8Text(control.text));
    const Qt::Alignment across = type == style::kStaticCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    const Qt::Alignment down =
        (control.style & style::kStaticCenterImage) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
    label->setAlignment(across | down);
    label->setGeometry(pixelRect(control));
    return label;
}

QRect ControlFactory::pixelRect(const ControlTemplate& control) const {
    return units_.toPixels(control.x, control.y, control.cx, control.cy);
}

} // namespace lumora::dialogkit
