// Shows the console with a simulated adapter and a few levels set, and saves what the display shows
// of its window to the PNG file named on the command line. Run it through tools/screenshot.sh.
// It also prints where each control is, in pixels and in dialog units measured back from them with
// the base units of the font this system gave the dialog, one line a control id, so that the layout
// on two systems or scales can be compared (tools/test-windows.sh); lines starting with # name the
// font and give the window's size in device pixels.

#include "app/CConsoleApp.h"
#include "app/CMainDialog.h"
#include "dialogkit/EditBox.h"
#include "resources/MainDialogTemplate.h"
#include "resources/StripTable.h"
#include "simulated/SimulatedAdapter.h"

#include <QApplication>
#include <QFontInfo>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <set>

namespace {

void printGeometry(const lumora::dialogkit::Dialog& dialog, const lumora::dialogkit::DialogTemplate& layout) {
    const lumora::dialogkit::DialogUnits& units = dialog.units();
    std::printf("# %s, base units %d x %d\n", QFontInfo(dialog.font()).family().toUtf8().constData(),
                units.baseX(), units.baseY());
    std::set<int> printed;
    for (const lumora::dialogkit::ControlTemplate& control : layout.controls) {
        const QWidget* widget = dialog.control(control.id);
        if (widget == nullptr || !printed.insert(control.id).second) {
            continue;
        }
        const QRect pixels = widget->geometry();
        const auto across = [&](int value) {
            return lumora::dialogkit::DialogUnits::mulDiv(value, 4, units.baseX());
        };
        const auto down = [&](int value) {
            return lumora::dialogkit::DialogUnits::mulDiv(value, 8, units.baseY());
        };
        std::printf("%d pixels %d %d %d %d units %d %d %d %d\n", control.id, pixels.x(), pixels.y(),
                    pixels.width(), pixels.height(), across(pixels.x()), down(pixels.y()),
                    across(pixels.width()), down(pixels.height()));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("usage: console_screenshot OUTPUT.png\n", stderr);
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    lumora::CConsoleApp::installDialogServices();
    lumora::hw::SimulatedAdapter adapter;
    adapter.attach({});
    lumora::CMainDialog dialog(adapter);
    bool saved = false;
    QTimer::singleShot(300, &dialog, [&] {
        const int levels[] = {255, 200, 160, 128, 96, 64, 32, 0, 255, 180};
        for (int strip = 0; strip < 10; ++strip) {
            const auto& ids = lumora::resources::kStripTable[static_cast<std::size_t>(strip)];
            dialog.controlAs<lumora::dialogkit::EditBox>(ids.edit)->setText(QString::number(levels[strip]));
        }
        QTimer::singleShot(300, &dialog, [&] {
            printGeometry(dialog, lumora::resources::mainDialogTemplate());
            const QPixmap shot = dialog.screen()->grabWindow(dialog.winId());
            std::printf("# window %d x %d device pixels at scale %g\n", shot.width(), shot.height(),
                        dialog.devicePixelRatioF());
            saved = shot.save(output);
            dialog.done(2);
        });
    });
    dialog.doModal();
    return saved ? 0 : 1;
}
