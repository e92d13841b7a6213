#pragma once

#include <cstdint>

// The project's random generator. Game data writes its random spreads for results
// 0..32767 (r = rand / 32767), which the C library here does not give, so every
// random draw goes through these functions. Seeded once at launch; tests seed it.
constexpr int kZqRandMax = 32767;

void zqSrand(uint32_t seed);
int zqRand();                     // 0 .. kZqRandMax
float zqRandUnit();               // zqRand() / 32767, in [0, 1]
