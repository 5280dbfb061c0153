#pragma once
// Limits that keep loading a damaged or hostile presentation linear in its
// size.
#include <cstdint>

class TCKSStream;

// The read budget of one load: twice the file's size plus 64 KiB.
std::int64_t LoadReadBudget(std::int64_t FileSize);
// "Stream-Lesefehler".
[[noreturn]] void ThrowLoadReadError();
// Fails with "Stream-Lesefehler" when Start + Size reaches past the end of
// the stream (64-bit arithmetic, no wrap).
void CheckRecordWithinStream(TCKSStream& Stream, std::int64_t Start, std::int64_t Size);
