#include "download/part_plan.h"

int PartCount(std::int32_t fileLength) {
  int n = fileLength / kPartUnitBytes;
  if (n < 1) n = 1;
  if (n > kMaxParts) n = kMaxParts;
  return n;
}

std::vector<PartPlan> PlanParts(std::int32_t fileLength, const std::vector<std::int64_t>& existingSizes) {
  const int n = PartCount(fileLength);
  const std::int32_t partSize = fileLength / n;
  std::vector<PartPlan> plan(n);
  std::int32_t offset = 0;
  for (int i = 0; i < n; ++i) {
    PartPlan& part = plan[i];
    const std::int32_t size = (i == n - 1) ? partSize + fileLength % n : partSize;
    std::int64_t existing = i < static_cast<int>(existingSizes.size()) ? existingSizes[i] : 0;
    if (existing < 0) existing = 0;
    if (existing > size) {
      part.discardExisting = true;
      existing = 0;
    }
    part.received = existing;
    part.start = offset + static_cast<std::int32_t>(existing);
    offset += size;
    part.end = offset - 1;
    part.complete = part.start > part.end;
  }
  return plan;
}
