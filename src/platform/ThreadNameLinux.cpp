#include "platform/ThreadName.h"

#include <pthread.h>

namespace lumora {

void nameCurrentThread(const char* name) noexcept {
    static_cast<void>(pthread_setname_np(pthread_self(), name));
}

} // namespace lumora
