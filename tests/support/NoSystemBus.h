#pragma once

#include <cstdlib>

namespace lumora::test {

// Points this process, and the programs it starts, at a system bus that is not there. Refused
// real-time scheduling, the port asks the desktop's RealtimeKit service on the system bus, and a
// test must never reach the real one; a test that wants a service starts a bus of its own and hands
// its address to the process it checks.
inline void keepOffTheSystemBus() {
    setenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/lumora-test-bus", 1);
}

} // namespace lumora::test
