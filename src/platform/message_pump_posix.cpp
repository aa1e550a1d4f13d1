// POSIX stand-in for the message pump: there are no window messages, so the
// pump only lets the time pass.
#include "platform/message_pump.h"

#include <chrono>
#include <thread>

namespace platform {

bool PumpMessagesFor(void* window, std::uint32_t milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
  return true;
}

}  // namespace platform
