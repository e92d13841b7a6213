#pragma once

#include <cstdint>
#include <optional>

// Wall time in 100 ns ticks since the Unix epoch, for the few places that read the
// system clock (seeding the generator, timing the first scene). Tests fix it.
int64_t zqClockTicks();
void zqSetClockTicks(std::optional<int64_t> fixedTicks);
