// The segmented downloader's part plan: how a file is cut into byte ranges
// and where each range resumes. Pure; no I/O.
//
// n = length / 10485760 clamped to 1..2; every part gets length / n bytes and
// the last one also the remainder. A part resumes after the bytes already in
// its file; a part file longer than its part cannot be trusted and is
// planned from its first byte again (the caller discards that file).
// Offsets are signed 32-bit, as the downloader accepts only lengths that fit.
#pragma once

#include <cstdint>
#include <vector>

inline constexpr std::int32_t kPartUnitBytes = 10485760;
inline constexpr int kMaxParts = 2;

struct PartPlan {
  std::int32_t start = 0;      // absolute offset of the next byte to fetch
  std::int32_t end = 0;        // absolute offset of the part's last byte
  std::int64_t received = 0;   // bytes of this part already on disk
  bool complete = false;       // start > end: nothing left to fetch
  bool discardExisting = false;  // the part file is longer than the part
};

int PartCount(std::int32_t fileLength);

// `existingSizes[i]` is the size of part file i (missing or negative: 0; an
// index beyond the vector: 0). `fileLength` must be at least 1.
std::vector<PartPlan> PlanParts(std::int32_t fileLength, const std::vector<std::int64_t>& existingSizes);
