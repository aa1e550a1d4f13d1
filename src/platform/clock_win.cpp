// Clocks from the Win32 API.
#include <windows.h>

#include "platform/clock.h"

namespace platform {

LocalTime NowLocal() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  LocalTime out;
  out.year = st.wYear;
  out.month = st.wMonth;
  out.day = st.wDay;
  out.hour = st.wHour;
  out.minute = st.wMinute;
  out.second = st.wSecond;
  out.millisecond = st.wMilliseconds;
  return out;
}

std::uint32_t TickCount32() { return GetTickCount(); }

}  // namespace platform
