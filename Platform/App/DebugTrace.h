#pragma once
// Debugger output: one line per call on stderr, written only when the
// environment variable LMOPLAYER_DEBUG is set (to anything).
#include <string_view>

namespace platform {

void OutputDebugString(std::string_view Line);
bool DebugTraceEnabled();

}  // namespace platform
