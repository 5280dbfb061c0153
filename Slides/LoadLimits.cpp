#include "Slides/LoadLimits.h"

#include <algorithm>

#include "CKS/CKSStream.h"

std::int64_t LoadReadBudget(std::int64_t FileSize) { return 2 * std::max<std::int64_t>(FileSize, 0) + 64 * 1024; }

void ThrowLoadReadError() { throw EReadError(); }

void CheckRecordWithinStream(TCKSStream& Stream, std::int64_t Start, std::int64_t Size) {
  if (Start + Size > Stream.GetSize()) ThrowLoadReadError();
}
