// Time from process start to the main dialog shown, and resident memory then, over fresh processes
// of bench_startup_probe on the offscreen platform. Prints median and maximum.

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

bool runOnce(const std::string& probe, double& millis, long& rssKb) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) {
        return false;
    }
    const long long started = monotonicNanoseconds();
    const pid_t child = fork();
    if (child == 0) {
        dup2(pipeEnds[1], STDOUT_FILENO);
        close(pipeEnds[0]);
        execl(probe.c_str(), probe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    char buffer[256] = {};
    const ssize_t got = read(pipeEnds[0], buffer, sizeof buffer - 1);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    long long shown = 0;
    if (got <= 0 || std::sscanf(buffer, "shown_ns %lld rss_kb %ld", &shown, &rssKb) != 2) {
        return false;
    }
    millis = static_cast<double>(shown - started) / 1e6;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const std::string self = argv[0];
    const std::string probe =
        argc > 1 ? argv[1] : self.substr(0, self.rfind('/') + 1) + "bench_startup_probe";
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::vector<double> times;
    std::vector<long> memory;
    for (int run = 0; run < 20; ++run) {
        double millis = 0;
        long rss = 0;
        if (!runOnce(probe, millis, rss)) {
            std::printf("the probe %s did not report\n", probe.c_str());
            return 1;
        }
        times.push_back(millis);
        memory.push_back(rss);
    }
    std::sort(times.begin(), times.end());
    std::sort(memory.begin(), memory.end());
    std::printf("start to dialog shown: median %.1f ms  max %.1f ms  (%zu runs)\n", times[times.size() / 2],
                times.back(), times.size());
    std::printf("resident memory when shown: median %.1f MB  max %.1f MB\n",
                static_cast<double>(memory[memory.size() / 2]) / 1024.0,
                static_cast<double>(memory.back()) / 1024.0);
    return 0;
}
