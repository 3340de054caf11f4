#pragma once

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
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
        output_ = fdopen(pipeEnds[0], "r");
    }

    ~ChildProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            exitStatus();
        }
        if (output_ != nullptr) {
            std::fclose(output_);
        }
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0 && output_ != nullptr; }

    // The next line the program writes, without its newline; empty once it has closed its output,
    // or when it never started.
    std::string readLine() {
        std::string line;
        if (output_ == nullptr) {
            return line;
        }
        for (int c = std::fgetc(output_); c != EOF && c != '\n'; c = std::fgetc(output_)) {
            line.push_back(static_cast<char>(c));
        }
        return line;
    }

    // Waits for the program to end; -1 unless it exited by itself.
    int exitStatus() {
        int status = 0;
        const bool waited = pid_ > 0 && waitpid(pid_, &status, 0) == pid_;
        pid_ = -1;
        return waited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    std::FILE* output_ = nullptr;
};

} // namespace lumora::test
