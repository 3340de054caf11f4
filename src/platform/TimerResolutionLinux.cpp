#include "platform/TimerResolution.h"

namespace lumora {

FineTimerResolution::FineTimerResolution() noexcept = default;

FineTimerResolution::~FineTimerResolution() = default;

} // namespace lumora
