// Shows the console with a simulated adapter and a few levels set, and saves what the display shows
// of its window to the PNG file named on the command line. Run it through tools/screenshot.sh.

#include "app/CConsoleApp.h"
#include "app/CMainDialog.h"
#include "dialogkit/EditBox.h"
#include "resources/StripTable.h"
#include "simulated/SimulatedAdapter.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>

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
            saved = dialog.screen()->grabWindow(dialog.winId()).save(output);
            dialog.done(2);
        });
    });
    dialog.doModal();
    return saved ? 0 : 1;
}
