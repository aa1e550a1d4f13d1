#include "download/retry_budget.h"

int RetryCost(int code) { return code == kCurlPartialFile ? 1 : 2; }

bool ChargeSingleStreamRetry(int* budget, int code) {
  *budget -= RetryCost(code);
  return *budget > 0;
}

bool ChargePartRetry(int* budget, int code) {
  if (*budget <= 0) return false;
  *budget -= RetryCost(code);
  return true;
}

int AttemptsAtMost(int attempt, int budget) { return attempt - 1 + (budget + 1) / 2; }
