#pragma once
// Limits that keep loading a damaged or hostile presentation linear in its
// size.
#include <cstdint>

// The read budget of one load: twice the file's size plus 64 KiB.
std::int64_t LoadReadBudget(std::int64_t FileSize);
// "Stream-Lesefehler".
[[noreturn]] void ThrowLoadReadError();
// Fails with "Stream-Lesefehler" when Start + Size reaches past StreamSize
// (64-bit arithmetic, no wrap).
void CheckRecordWithinStream(std::int64_t StreamSize, std::int64_t Start, std::int64_t Size);
