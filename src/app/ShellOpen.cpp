#include "app/ShellOpen.h"

#include <QDesktopServices>

#include <utility>

namespace lumora {

namespace {

ShellOpener& currentOpener() {
    static ShellOpener opener;
    return opener;
}

} // namespace

bool shellOpen(const QUrl& target) {
    const ShellOpener& opener = currentOpener();
    return opener ? opener(target) : QDesktopServices::openUrl(target);
}

ShellOpener setShellOpener(ShellOpener opener) {
    return std::exchange(currentOpener(), std::move(opener));
}

} // namespace lumora
