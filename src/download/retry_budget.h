// Retry budgets of the curl downloaders. Pure.
//
// Both start at 12 and charge 1 for libcurl's partial-file code (18), whose
// next attempt resumes where this one stopped, and 2 for anything else.
// The single-stream downloader charges first and gives up at 0 or below
// (at most 6 attempts, or 12 when every failure is 18); a part of the
// segmented downloader retries while the budget is still above 0 and then
// charges (at most 7 attempts, or 13).
#pragma once

inline constexpr int kRetryBudget = 12;
inline constexpr int kCurlPartialFile = 18;  // CURLE_PARTIAL_FILE

int RetryCost(int code);

// Charges `code`; true when the single-stream downloader may try again.
bool ChargeSingleStreamRetry(int* budget, int code);

// True (and charged) when a part may try again after failing with `code`.
bool ChargePartRetry(int* budget, int code);

// How many attempts there can be at most, counting `attempt` (from 1) with
// `budget` left before it, when every further failure costs 2: what the user
// is told as "attempt n of m".
int AttemptsAtMost(int attempt, int budget);
