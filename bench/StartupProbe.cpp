// Starts the console as the program does, with one simulated FT232R attached, and prints the
// monotonic time at which the main dialog has been shown and painted, and the resident memory then.
// bench_startup runs it as a fresh process many times.

#include "app/CConsoleApp.h"
#include "app/CMainDialog.h"
#include "simulated/SimulatedAdapter.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

namespace {

long residentKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return -1;
}

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    lumora::CConsoleApp::installDialogServices();
    lumora::hw::SimulatedAdapter adapter;
    adapter.attach({});
    lumora::CMainDialog dialog(adapter);
    // Runs once the modal loop has shown and painted the dialog.
    QTimer::singleShot(0, &dialog, [&] {
        dialog.repaint();
        std::printf("shown_ns %lld rss_kb %ld\n", monotonicNanoseconds(), residentKilobytes());
        std::fflush(stdout);
        dialog.done(2);
    });
    dialog.doModal();
    return 0;
}
