#include "platform/clock.h"

#include <sys/time.h>

#include <ctime>

namespace kestrel::platform {

double SystemClock::SecondsSinceMidnight() const {
    timeval now{};
    ::gettimeofday(&now, nullptr);
    std::tm local{};
    ::localtime_r(&now.tv_sec, &local);
    return local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + now.tv_usec / 1e6;
}

}  // namespace kestrel::platform
