#include "drill/random.h"

#include <chrono>

std::uint32_t RandomGenerator::clockSeed(int hour, int minute, int second, int millisecond)
{
    return static_cast<std::uint32_t>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond);
}

void RandomGenerator::seedFromClock()
{
    using namespace std::chrono;
    const auto now = system_clock::now().time_since_epoch();
    const hh_mm_ss<milliseconds> time { duration_cast<milliseconds>(now) % days { 1 } };
    seed = clockSeed(int(time.hours().count()), int(time.minutes().count()),
                     int(time.seconds().count()), int(time.subseconds().count()));
}
