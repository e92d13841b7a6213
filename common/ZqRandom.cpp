#include "ZqRandom.h"

namespace {
uint32_t state = 1;
}

void zqSrand(uint32_t seed)
{
    state = seed;
}

int zqRand()
{
    // A linear congruential step; the high bits are the better ones, 15 of them are kept.
    state = state * 214013u + 2531011u;
    return static_cast<int>((state >> 16) & 0x7fffu);
}

float zqRandUnit()
{
    return static_cast<float>(zqRand()) / static_cast<float>(kZqRandMax);
}
