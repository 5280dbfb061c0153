#include "Platform/Core/Assertion.h"

#include <utility>

EAssertionFailed::EAssertionFailed(std::string Text, std::string Module, std::int32_t Line)
    : std::runtime_error(Text + " (" + Module + ", Zeile " + std::to_string(Line) + ")"),
      Text_(std::move(Text)),
      Module_(std::move(Module)),
      Line_(Line) {}
