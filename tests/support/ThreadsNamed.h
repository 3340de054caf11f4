#pragma once

#include <cstddef>
#include <string>

#if defined(_WIN32)
#include <windows.h>
// After windows.h, which it needs.
#include <tlhelp32.h>
#else
#include <filesystem>
#include <fstream>
#include <sys/types.h>
#include <system_error>
#endif

#if defined(_WIN32)
// Windows 10 version 1607 and later; MinGW-w64's headers do not declare it yet.
extern "C" __declspec(dllimport) HRESULT WINAPI GetThreadDescription(HANDLE thread, PWSTR* description);
#endif

namespace lumora::test {

#if defined(_WIN32)
using ThreadId = DWORD;

// The name a thread was given, narrowed from the wide text the system keeps (thread names here are
// ASCII); empty when it has none or cannot be read.
inline std::string threadDescription(ThreadId thread) {
    std::string name;
    const HANDLE handle = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, thread);
    if (handle == nullptr) {
        return name;
    }
    PWSTR description = nullptr;
    if (SUCCEEDED(GetThreadDescription(handle, &description)) && description != nullptr) {
        for (const wchar_t* c = description; *c != L'\0'; ++c) {
            name.push_back(static_cast<char>(*c));
        }
        LocalFree(description);
    }
    CloseHandle(handle);
    return name;
}

// Calls visit(thread id, name) for each of this process's threads as the system lists them right
// now, until it returns true.
template <typename Visit> void visitThreads(Visit visit) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return;
    }
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId() &&
            visit(entry.th32ThreadID, threadDescription(entry.th32ThreadID))) {
            break;
        }
    }
    CloseHandle(snapshot);
}
#else
using ThreadId = pid_t;

// Calls visit(thread id, name) for each of this process's threads as the kernel lists them right
// now, until it returns true.
template <typename Visit> void visitThreads(Visit visit) {
    std::error_code error;
    for (std::filesystem::directory_iterator task("/proc/self/task", error), end; !error && task != end;
         task.increment(error)) {
        std::ifstream comm(task->path() / "comm");
        std::string threadName;
        if (std::getline(comm, threadName) &&
            visit(static_cast<ThreadId>(std::stol(task->path().filename().string())), threadName)) {
            return;
        }
    }
}
#endif

// How many of this process's threads, as the kernel lists them right now, have a name that keep
// accepts.
template <typename Keep> std::size_t countThreads(Keep keep) {
    std::size_t count = 0;
    visitThreads([&](ThreadId, const std::string& threadName) {
        if (keep(threadName)) {
            ++count;
        }
        return false;
    });
    return count;
}

// How many of this process's threads go by this name right now.
inline std::size_t threadsNamed(const std::string& name) {
    return countThreads([&name](const std::string& threadName) { return threadName == name; });
}

// How many threads this process has right now. A thread takes its name only once it runs, so a
// thread just started is counted here before threadsNamed counts it.
inline std::size_t threadCount() {
    return countThreads([](const std::string&) { return true; });
}

// The id of one of this process's threads that goes by this name right now; 0 when none does.
inline ThreadId threadIdNamed(const std::string& name) {
    ThreadId found = 0;
    visitThreads([&](ThreadId thread, const std::string& threadName) {
        found = threadName == name ? thread : 0;
        return found != 0;
    });
    return found;
}

} // namespace lumora::test
