#include "app/CAboutDialog.h"

#include "resources/AboutDialogTemplate.h"

namespace lumora {

CAboutDialog::CAboutDialog(QWidget* owner)
    : Dialog(resources::aboutDialogTemplate(), owner) {}

} // namespace lumora
