#include "ZqClock.h"

#include <chrono>

namespace {
std::optional<int64_t> fixed;
}

int64_t zqClockTicks()
{
    if (fixed)
        return *fixed;
    using Ticks = std::chrono::duration<int64_t, std::ratio<1, 10000000>>;
    return std::chrono::duration_cast<Ticks>(std::chrono::system_clock::now().time_since_epoch()).count();
}

void zqSetClockTicks(std::optional<int64_t> fixedTicks)
{
    fixed = fixedTicks;
}
