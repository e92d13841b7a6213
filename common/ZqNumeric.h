#pragma once

#include <climits>
#include <cmath>

// Float to int truncation toward zero that is defined for every input: NaN gives 0 and
// values beyond the int range (infinities included) give INT_MIN or INT_MAX. In-range
// values truncate exactly as a plain cast would. Game data holds any float, and a plain
// cast of an out-of-range float is undefined behaviour.
inline int zqSaturatingInt(float value)
{
    if (std::isnan(value))
        return 0;
    // 2^31 is exact as a float; every float below it truncates into the int range.
    if (value >= 2147483648.0f)
        return INT_MAX;
    if (value <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(value);
}
