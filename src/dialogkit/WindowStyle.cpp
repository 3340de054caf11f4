#include "dialogkit/WindowStyle.h"

namespace lumora::dialogkit {

Qt::WindowFlags templateWindowFlags(const DialogTemplate& dialogTemplate) {
    const bool ownTaskBarEntry = (dialogTemplate.exStyle & style::kExAppWindow) != 0;
    Qt::WindowFlags flags =
        (ownTaskBarEntry ? Qt::Window : Qt::Dialog) | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if ((dialogTemplate.style & style::kSysMenu) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}

} // namespace lumora::dialogkit
