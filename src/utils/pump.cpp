#include "utils/pump.h"

#include "platform/message_pump.h"

namespace Utils {

bool PumpMessages(void* window) { return platform::PumpMessagesFor(window, 100); }

}  // namespace Utils
