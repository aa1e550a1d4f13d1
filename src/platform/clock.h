// Clocks used by logging, stopwatches and throttles.
#pragma once

#include <cstdint>

namespace platform {

struct LocalTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// The local wall-clock time with milliseconds (GetLocalTime).
LocalTime NowLocal();

// Milliseconds since system start, wrapping at 2^32 (GetTickCount).
std::uint32_t TickCount32();

}  // namespace platform
