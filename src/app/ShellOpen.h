#pragma once

#include <QUrl>

#include <functional>

namespace lumora {

// The desktop's "open" action on an address or a file; true when the desktop took it.
using ShellOpener = std::function<bool(const QUrl& target)>;

bool shellOpen(const QUrl& target);

// Replaces the opener and returns the previous one; an empty opener restores the desktop's.
// Tests use this so that nothing is launched.
ShellOpener setShellOpener(ShellOpener opener);

} // namespace lumora
