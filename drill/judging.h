// Judging rules: exact comparison, the rate, the weighted buai totals.
#pragma once

#include <cstdint>

// Exact: the expected value went through the same text round trip as the typed one.
inline bool isRightAnswer(double typed, double expected)
{
    return typed == expected;
}

// Whole percent of right answers, truncated toward zero.
std::int32_t rateOf(std::int32_t correctCount, std::int32_t problemNo);

// wari x 100 + bu x 10 + rin, summed in extended precision before it is stored.
double buaiTotal(double wari, double bu, double rin);
