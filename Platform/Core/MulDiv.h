#pragma once
#include <cstdint>

// Number × Numerator / Denominator with a 64-bit intermediate, rounded to the
// nearest integer, halves away from zero. -1 when Denominator is 0 or the
// result does not fit into 32 bits (the kernel's MulDiv answers so).
std::int32_t MulDiv(std::int32_t Number, std::int32_t Numerator, std::int32_t Denominator);
