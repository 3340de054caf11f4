#pragma once

#include <csignal>
#include <cstdio>
#include <spawn.h>
#include <string>
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
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            return;
        }
        std::vector<std::string> environment(extraEnvironment);
        for (char** variable = environ; *variable != nullptr; ++variable) {
            environment.emplace_back(*variable);
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
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

    // The next line the program writes, without its newline; empty once it has closed its output.
    std::string readLine() {
        std::string line;
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
