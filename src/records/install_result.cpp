#include "records/install_result.h"

#include <cmath>

#include "utils/events.h"

namespace {

std::uint32_t ToUnsigned32(double value) {
  if (!(value >= 0.0 && value <= 4294967295.0)) return 0;  // NaN too
  return static_cast<std::uint32_t>(value);
}

std::int32_t ToInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return 0;
  return static_cast<std::int32_t>(value);
}

}  // namespace

bool ApplyInstallEvent(InstallResult* result, std::int32_t code, double value, const std::wstring& text) {
  switch (code) {
    case IST_CODE_INST_PATH: result->installDir = text; return true;
    case IST_CODE_EXE_PATH: result->exePath = text; return true;
    case IST_CODE_UNINST_EP: result->uninstEp = text; return true;
    case IST_CODE_START_URL: result->startUrl = text; return true;
    case IST_CODE_STARTUP_STYLE: result->startupStyle = ToInt32(value); return true;
    case IST_CODE_TOP_SHOW_DETENTION: result->topShowDelayMs = ToUnsigned32(value); return true;
    case IST_CODE_FINISH_CLOSE_DETENTION: result->finishCloseDelayMs = ToUnsigned32(value); return true;
    default: return false;
  }
}
