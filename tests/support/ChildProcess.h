#pragma once

#include "support/WaitFor.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

namespace lumora::test {

// A program the test starts, with extra environment variables and its standard output readable
// line by line. Ended by its process id when the test ends, if it has not ended by itself.
class ChildProcess {
public:
    ChildProcess(std::vector<std::string> arguments, const std::vector<std::string>& extraEnvironment) {
        // Close-on-exec, so that no other program started meanwhile holds the pipe open; the copy
        // the child gets as its standard output is kept.
        int pipeEnds[2];
        if (pipe2(pipeEnds, O_CLOEXEC) != 0) {
            return;
        }
        std::vector<std::string> environment = environmentWith(extraEnvironment);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        const std::vector<char*> argv = pointersTo(arguments);
        const std::vector<char*> envp = pointersTo(environment);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
            pid_ = -1;
        }
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        output_ = pipeEnds[0];
    }

    ~ChildProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            exitStatus();
        }
        if (output_ >= 0) {
            close(output_);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0 && output_ >= 0; }

    // The next line the program writes, without its newline. Empty once it has closed its output or
    // when it never started; only what came of the line when the hang guard passes first.
    std::string readLine(std::chrono::milliseconds hangGuard = kHangGuard) {
        const auto until = std::chrono::steady_clock::now() + hangGuard;
        std::string line;
        char c = 0;
        while (output_ >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            pollfd readable{output_, POLLIN, 0};
            if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0 ||
                read(output_, &c, 1) != 1 || c == '\n') {
                break;
            }
            line.push_back(c);
        }
        return line;
    }

    // Waits for the program to end, and ends it when the hang guard passes first; -1 unless it
    // exited by itself.
    int exitStatus() {
        if (pid_ <= 0) {
            return -1;
        }
        const pid_t pid = std::exchange(pid_, -1);
        int status = 0;
        pid_t waited = 0;
        waitFor([&] {
            waited = waitpid(pid, &status, WNOHANG);
            return waited != 0;
        });
        if (waited == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        return waited == pid && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    // This process's environment with the extra variables in place of any of the same name.
    static std::vector<std::string> environmentWith(const std::vector<std::string>& extra) {
        std::vector<std::string> environment(extra);
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string_view entry(*variable);
            const std::string_view name = entry.substr(0, entry.find('=') + 1);
            if (std::none_of(extra.begin(), extra.end(),
                             [name](const std::string& added) { return added.starts_with(name); })) {
                environment.emplace_back(entry);
            }
        }
        return environment;
    }

    static std::vector<char*> pointersTo(std::vector<std::string>& strings) {
        std::vector<char*> pointers;
        for (std::string& text : strings) {
            pointers.push_back(text.data());
        }
        pointers.push_back(nullptr);
        return pointers;
    }

    pid_t pid_ = -1;
    int output_ = -1;
};

} // namespace lumora::test
