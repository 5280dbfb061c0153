#pragma once
// EListError: the error of the platform's lists, raised for an index outside
// the list.
#include <cstdint>
#include <stdexcept>
#include <string>

class EListError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// "Listenindex überschreitet das Maximum (<Index>)". The text is UTF-8.
[[noreturn]] void RaiseListIndexError(std::int64_t Index);
