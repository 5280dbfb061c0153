#include "Slides/LoadLimits.h"

#include <algorithm>

#include "CKS/Streams.h"

std::int64_t LoadReadBudget(std::int64_t FileSize) { return 2 * std::max<std::int64_t>(FileSize, 0) + 64 * 1024; }

void ThrowLoadReadError() { throw EReadError(); }

void CheckRecordWithinStream(std::int64_t StreamSize, std::int64_t Start, std::int64_t Size) {
  if (Start + Size > StreamSize) ThrowLoadReadError();
}
