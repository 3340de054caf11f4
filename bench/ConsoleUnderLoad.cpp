// The real console offscreen on the simulated FT232R (128-byte transmit buffer), output open and a
// fader moved every 100 ms, for a chosen time: once on a quiet machine and once with two CPU-bound
// processes competing. Prints the frames, the malformed ones, the frame period (median, p99, max)
// and its spread, the console's CPU time as a share of one core, its resident memory at the start
// and the end, and how the transmit thread was scheduled.
//
// bench_console_load [seconds] [--refused]: --refused first takes from the process what lets it
// choose real-time scheduling (as for an ordinary desktop user), so that the console's own request
// is refused; RealtimeKit, where the desktop runs it, may still grant it.

#include "Percentile.h"
#include "app/CConsoleApp.h"
#include "app/CMainDialog.h"
#include "dialogkit/Trackbar.h"
#include "platform/ThreadName.h"
#include "resources/ControlIds.h"
#include "resources/StripTable.h"
#include "simulated/SimulatedAdapter.h"
#include "support/RealtimeRefused.h"
#include "support/ThreadsNamed.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sched.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace lumora;
using lumora::bench::percentile;
using Clock = std::chrono::steady_clock;

namespace {

double millis(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0;
    long resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// How the transmit thread is scheduled, as ps shows it: "FF 49", "RR 20" (as RealtimeKit grants it),
// or "TS" at normal priority.
std::string transmitScheduling() {
    const pid_t thread = test::threadIdNamed(kTransmitThreadName);
    if (thread == 0) {
        return "not running";
    }
    sched_param parameter{};
    sched_getparam(thread, &parameter);
    const int policy = sched_getscheduler(thread) & ~SCHED_RESET_ON_FORK;
    const std::string priority = std::to_string(parameter.sched_priority);
    return policy == SCHED_FIFO ? "FF " + priority : policy == SCHED_RR ? "RR " + priority : "TS";
}

// Follows the transmit thread's calls as they finish: a frame is a break followed by the break's
// end, the start code 0 and 512 slots, each accepted by the adapter; anything else is malformed.
class FrameCounter {
public:
    void see(const hw::DriverCall& call) {
        std::lock_guard lock(mutex_);
        switch (call.operation) {
        case hw::Operation::SetBreakOn:
            finishFrame();
            breaks_.push_back(call.started);
            step_ = 1;
            ok_ = call.status == hw::DriverStatus::Ok;
            return;
        case hw::Operation::SetBreakOff:
            ok_ = ok_ && step_ == 1 && call.status == hw::DriverStatus::Ok;
            break;
        case hw::Operation::Write:
            ok_ = ok_ && call.status == hw::DriverStatus::Ok &&
                  ((step_ == 2 && call.data == std::vector<std::uint8_t>{0}) ||
                   (step_ == 3 && call.data.size() == kChannelCount));
            break;
        default:
            return;
        }
        ++step_;
    }

    // Frame count, malformed count and the periods between successive breaks.
    void results(std::size_t& frames, std::size_t& malformed, std::vector<double>& periods) {
        std::lock_guard lock(mutex_);
        finishFrame();
        frames = frames_;
        malformed = malformed_;
        for (std::size_t i = 1; i < breaks_.size(); ++i) {
            periods.push_back(millis(breaks_[i] - breaks_[i - 1]));
        }
    }

private:
    void finishFrame() {
        if (step_ == 0) {
            return;
        }
        ++frames_;
        if (!ok_ || step_ != 4) {
            ++malformed_;
        }
        step_ = 0;
    }

    std::mutex mutex_;
    std::vector<Clock::time_point> breaks_;
    std::size_t frames_ = 0;
    std::size_t malformed_ = 0;
    int step_ = 0;
    bool ok_ = true;
};

// Two processes that keep a core busy each, ended by their ids, or by the kernel should the bench
// end without ending them.
class CpuHogs {
public:
    CpuHogs() {
        const pid_t bench = getpid();
        for (pid_t& pid : pids_) {
            pid = fork();
            if (pid == 0) {
                // A bench that died before this took effect has left the hog to another parent.
                if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || getppid() != bench) {
                    _exit(1);
                }
                volatile unsigned long spin = 0;
                for (;;) {
                    spin = spin + 1;
                }
            }
        }
    }
    ~CpuHogs() {
        for (pid_t pid : pids_) {
            if (pid > 0) {
                kill(pid, SIGKILL);
                waitpid(pid, nullptr, 0);
            }
        }
    }
    CpuHogs(const CpuHogs&) = delete;
    CpuHogs& operator=(const CpuHogs&) = delete;

private:
    pid_t pids_[2] = {};
};

void run(const char* name, std::chrono::seconds length) {
    hw::SimulatedAdapter adapter;
    adapter.attach({});
    adapter.keepCallRecord(false);
    FrameCounter counter;
    adapter.observeCalls([&](const hw::DriverCall& call) { counter.see(call); });
    CMainDialog dialog(adapter, CDmxPort::Timing{.settle = std::chrono::milliseconds(0)});
    dialog.show();
    QApplication::processEvents();
    const long residentAtStart = residentKilobytes();
    dialog.controlAs<QPushButton>(resources::kOpenButton)->click();
    if (!dialog.port().isOpen()) {
        std::puts("the port did not open");
        return;
    }

    auto* fader = dialog.controlAs<dialogkit::Trackbar>(resources::kStripTable[0].fader);
    fader->setFocus();
    int moves = 0;
    QTimer mover;
    QObject::connect(&mover, &QTimer::timeout,
                     [&] { QTest::keyClick(fader, (moves++ / 20) % 2 == 0 ? Qt::Key_Up : Qt::Key_Down); });
    const double cpuBefore = cpuSeconds();
    const auto startedAt = Clock::now();
    mover.start(100);
    QEventLoop loop;
    QTimer::singleShot(std::chrono::duration_cast<std::chrono::milliseconds>(length), &loop,
                       &QEventLoop::quit);
    loop.exec();
    mover.stop();
    const std::string scheduling = transmitScheduling();
    const double cpuShare = (cpuSeconds() - cpuBefore) / (millis(Clock::now() - startedAt) / 1000.0);
    dialog.controlAs<QPushButton>(resources::kCloseButton)->click();
    const long residentAtEnd = residentKilobytes();
    dialog.done(dialogkit::kIdCancel);
    adapter.observeCalls({});

    std::size_t frames = 0;
    std::size_t malformed = 0;
    std::vector<double> periods;
    counter.results(frames, malformed, periods);
    const double median = percentile(periods, 0.5);
    const double p99 = percentile(periods, 0.99);
    std::printf(
        "%-7s transmit thread %-5s  frames %6zu  malformed %zu  period median %6.3f ms  p99 %6.3f ms  "
        "max %6.3f ms  spread (p99 - median) %5.3f ms  CPU %4.1f %% of a core  RSS %ld -> %ld KiB  "
        "(%d fader moves)\n",
        name, scheduling.c_str(), frames, malformed, median, p99, percentile(periods, 1.0), p99 - median,
        100.0 * cpuShare, residentAtStart, residentAtEnd, moves);
}

} // namespace

int main(int argc, char** argv) {
    std::chrono::seconds length{60};
    bool refused = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--refused") == 0) {
            refused = true;
        } else {
            length = std::chrono::seconds(std::max(1, std::atoi(argv[i])));
        }
    }
    // Before any thread starts, so that every thread inherits the restriction.
    if (refused && !test::restrictRealtime(0)) {
        std::puts("could not take real-time scheduling away");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication application(argc, argv);
    CConsoleApp::installDialogServices();
    std::printf("%lld s per run, real-time scheduling %s\n", static_cast<long long>(length.count()),
                refused ? "taken away" : "as the system allows");
    run("quiet", length);
    {
        const CpuHogs hogs;
        run("loaded", length);
    }
    return 0;
}
