#include "app/cli/progress_model.h"

#include <cstdio>

#include "utils/events.h"

namespace {

// The phase an event starts, or nullptr when it starts none.
const char* PhaseOf(std::int32_t code) {
  switch (code) {
    case UNIST_CODE_PROGRESS: return "removing the earlier installation";
    case DL_CODE_START:
    case DL_CODE_PROGRESS: return "downloading";
    case IST_CODE_START:
    case IST_CODE_PROGRESS: return "installing";
    case IST_CODE_SUCCESS: return "done";
    default: return nullptr;
  }
}

}  // namespace

bool CliProgress::OnEvent(std::int32_t code, double value, double nowSeconds, double receivedBytes) {
  if (code == DL_CODE_START) m_download.Restart();
  if (code == DL_CODE_PROGRESS) m_download.Sample(nowSeconds, value, receivedBytes);
  const int before = Percent();
  const char* phaseBefore = m_phase;
  if (const char* phase = PhaseOf(code)) m_phase = phase;
  if (std::optional<int> percent = m_figure.OnEvent(code, value, m_downloadScale))
    m_rate.Record(*percent, nowSeconds);
  return Percent() != before || m_phase != phaseBefore;
}

std::string CliProgress::Bar(int width) const {
  const int filled = width * Percent() / 100;
  std::string bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                    std::string(static_cast<std::size_t>(width - filled), '.') + "]";
  char text[160];
  if (m_phase == PhaseOf(DL_CODE_PROGRESS)) {
    const std::string speed = rules::FormatSpeed(m_download.BytesPerSecond());
    std::snprintf(text, sizeof text, " %3d%%  %s  %s left  %s", Percent(), speed.empty() ? "--" : speed.c_str(),
                  rules::FormatDuration(m_download.SecondsLeft()).c_str(), m_phase);
  } else {
    std::snprintf(text, sizeof text, " %3d%%  %s", Percent(), m_phase);
  }
  return bar + text;
}
