#include "SimClock.h"

#include <chrono>
#include <thread>

qint64 SteadyClock::nowUs()
{
    using namespace std::chrono;
    return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyClock::sleepUntilUs(qint64 t)
{
    const qint64 wait = t - nowUs();
    if (wait > 0)
        std::this_thread::sleep_for(std::chrono::microseconds(wait));
}
