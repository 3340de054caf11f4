// lumora-wire-monitor: shows what the virtual adapter puts on its wire, redrawn in place about ten
// times a second until Ctrl+C, or prints one summary line with --once.

#include "virtual/WireMonitorView.h"
#include "virtual/WireWatcher.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <signal.h>
#include <string>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace {

using lumora::wire::WireMonitorView;
using lumora::wire::WireSegment;
using lumora::wire::WireWatcher;

std::atomic<bool> stopRequested{false};

extern "C" void requestStop(int) {
    stopRequested.store(true);
}

struct Options {
    bool once = false;
    std::string segment = WireSegment::nameFromEnvironment();
    pid_t whilePid = 0;
};

void printUsage(std::FILE* stream) {
    std::fprintf(
        stream,
        "usage: lumora-wire-monitor [--once] [--segment NAME] [--while-pid PID]\n"
        "  --once           print one line of key=value fields and exit (1 when there is no segment)\n"
        "  --segment NAME   shared-memory segment to read (default: $%s or %s)\n"
        "  --while-pid PID  leave when that process ends\n",
        lumora::wire::kSegmentNameVariable, lumora::wire::kDefaultSegmentName);
}

bool parse(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--once" || argument == "--summary") {
            options.once = true;
        } else if (argument == "--segment" && i + 1 < argc) {
            options.segment = argv[++i];
        } else if (argument == "--while-pid" && i + 1 < argc) {
            options.whilePid = static_cast<pid_t>(std::atol(argv[++i]));
        } else {
            return false;
        }
    }
    return options.segment.size() > 1 && options.segment[0] == '/';
}

std::size_t levelsPerRow() {
    winsize size = {};
    const bool wide = ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col >= 6 + 32 * 4;
    return wide ? 32 : 16;
}

void writeAll(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(STDOUT_FILENO, text.data() + done, text.size() - done);
        if (n <= 0) {
            return;
        }
        done += static_cast<std::size_t>(n);
    }
}

// Each line is cleared to its end and the rest of the screen below, so that a shorter screen
// leaves nothing of the longer one before it.
std::string inPlace(const std::string& screen) {
    std::string frame = "\x1b[H";
    std::size_t start = 0;
    for (std::size_t end = screen.find('\n'); end != std::string::npos; end = screen.find('\n', start)) {
        frame.append(screen, start, end - start);
        frame += "\x1b[K\n";
        start = end + 1;
    }
    frame += "\x1b[J";
    return frame;
}

int runLive(const Options& options) {
    struct sigaction action = {};
    action.sa_handler = requestStop;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    const bool colour = isatty(STDOUT_FILENO) != 0 && std::getenv("NO_COLOR") == nullptr;
    WireWatcher watcher(options.segment);

    // The alternate screen keeps the shell's scrollback as it was; the cursor is hidden while
    // drawing and both are given back however the monitor is stopped by a signal.
    writeAll("\x1b[?1049h\x1b[?25l\x1b[2J");
    while (!stopRequested.load()) {
        if (options.whilePid > 0 && !WireWatcher::processRunning(options.whilePid)) {
            break;
        }
        const WireMonitorView view(levelsPerRow(),
                                   colour ? WireMonitorView::Colour::On : WireMonitorView::Colour::Off);
        writeAll(inPlace(view.screen(watcher.observe())));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    writeAll("\x1b[0m\x1b[?25h\x1b[?1049l");
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        printUsage(stdout);
        return 0;
    }
    Options options;
    if (!parse(argc, argv, options)) {
        printUsage(stderr);
        return 2;
    }
    if (options.once) {
        WireWatcher watcher(options.segment);
        const lumora::wire::WireObservation observation = watcher.observe();
        std::printf("%s\n", WireMonitorView::summaryLine(observation).c_str());
        return observation.found ? 0 : 1;
    }
    return runLive(options);
}
