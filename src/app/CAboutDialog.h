#pragma once

#include "dialogkit/Dialog.h"

namespace lumora {

// The About box: the icon, the version and the maker's notice; "확인", Enter and Esc close it.
class CAboutDialog : public dialogkit::Dialog {
public:
    explicit CAboutDialog(QWidget* owner);
};

} // namespace lumora
