#include "drill/judging.h"

std::int32_t rateOf(std::int32_t correctCount, std::int32_t problemNo)
{
    // The problem number never drops below 1 while judging, but a rate is no reason to crash.
    if (problemNo == 0)
        return 0;
    return static_cast<std::int32_t>(std::int64_t { correctCount } * 100 / problemNo);
}

double buaiTotal(double wari, double bu, double rin)
{
    const long double total = static_cast<long double>(wari) * 100
            + static_cast<long double>(bu) * 10 + static_cast<long double>(rin);
    return static_cast<double>(total);
}
