#pragma once
// EAssertionFailed: a failed check of an internal interface's use, carrying
// the condition's text and where the check sits (module and line), as the
// runtime reports a failed assertion.
#include <cstdint>
#include <stdexcept>
#include <string>

class EAssertionFailed : public std::runtime_error {
public:
  EAssertionFailed(std::string Text, std::string Module, std::int32_t Line);
  // The condition's text alone, e.g. "InterfaceFactory has not been set!".
  const std::string& Text() const { return Text_; }
  const std::string& Module() const { return Module_; }
  std::int32_t Line() const { return Line_; }
  // what() is "<Text> (<Module>, Zeile <Line>)".

private:
  std::string Text_;
  std::string Module_;
  std::int32_t Line_;
};

// Raises EAssertionFailed(Text, Module, Line) unless Condition holds.
inline void Assert(bool Condition, const std::string& Text, const std::string& Module, std::int32_t Line) {
  if (!Condition) throw EAssertionFailed(Text, Module, Line);
}
