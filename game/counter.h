// Counts that a game left running for years would carry past int's range.
// Each steps in a defined way and gives the same values as plain int
// arithmetic everywhere below its limit.
#pragma once
#include <climits>

// Counts whose remainders by 2 and by 6 are all the game uses start again
// at 0 on reaching COUNT_WRAP, a multiple of 6: the remainders run on
// unbroken across the wrap.
constexpr int COUNT_WRAP = 2147483646;
static_assert(COUNT_WRAP % 6 == 0 && COUNT_WRAP <= INT_MAX);

constexpr int Count_Next(int count) { return (count < 0 || count >= COUNT_WRAP - 1) ? 0 : count + 1; }

// Totals that are compared and shown (score, wave) stop at INT_MAX. add >= 0.
constexpr int Count_Add(int total, int add) { return add > INT_MAX - total ? INT_MAX : total + add; }
