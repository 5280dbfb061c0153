#include "Platform/App/DebugTrace.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

bool DebugTraceEnabled() { return std::getenv("LMOPLAYER_DEBUG") != nullptr; }

void OutputDebugString(std::string_view Line) {
  if (!DebugTraceEnabled()) return;
  std::fwrite(Line.data(), 1, Line.size(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

}  // namespace platform
