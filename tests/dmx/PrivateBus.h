#pragma once

#include "support/ChildProcess.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace lumora::test {

// A D-Bus daemon of our own, in a temporary directory, standing in for the system bus. Anyone may
// connect, own any name and call anything on it.
class PrivateBus {
public:
    PrivateBus() {
        char pattern[] = "/tmp/lumora-bus-XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            return;
        }
        directory_ = pattern;
        const std::filesystem::path config = directory_ / "bus.conf";
        std::ofstream(config)
            << "<busconfig><type>session</type><listen>unix:path=" << (directory_ / "socket").string()
            << "</listen><auth>EXTERNAL</auth><policy context=\"default\"><allow user=\"*\"/>"
               "<allow own=\"*\"/><allow send_destination=\"*\" eavesdrop=\"true\"/>"
               "<allow eavesdrop=\"true\"/></policy></busconfig>\n";
        daemon_ = std::make_unique<ChildProcess>(std::vector<std::string>{"/usr/bin/dbus-daemon", "--nofork",
                                                                          "--print-address=1",
                                                                          "--config-file=" + config.string()},
                                                 std::vector<std::string>{});
        // The daemon prints its address once it listens.
        address_ = daemon_->started() ? daemon_->readLine() : std::string();
    }

    ~PrivateBus() {
        daemon_.reset();
        if (!directory_.empty()) {
            std::error_code ignored;
            std::filesystem::remove_all(directory_, ignored);
        }
    }
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    // Empty when the daemon did not start.
    const std::string& address() const { return address_; }

private:
    std::filesystem::path directory_;
    std::unique_ptr<ChildProcess> daemon_;
    std::string address_;
};

} // namespace lumora::test
