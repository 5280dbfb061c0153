#include "Platform/Core/MulDiv.h"

#include <limits>

std::int32_t MulDiv(std::int32_t Number, std::int32_t Numerator, std::int32_t Denominator) {
  if (Denominator == 0) return -1;
  const std::int64_t Product = static_cast<std::int64_t>(Number) * Numerator;
  const bool Negative = (Product < 0) != (Denominator < 0);
  // |Product| <= 2^62 and |Denominator| <= 2^31, so neither magnitude overflows.
  const std::uint64_t P = Product < 0 ? static_cast<std::uint64_t>(-Product) : static_cast<std::uint64_t>(Product);
  const std::uint64_t D = Denominator < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(Denominator))
                                          : static_cast<std::uint64_t>(Denominator);
  const std::uint64_t Q = (P + D / 2) / D;
  if (Negative) {
    if (Q > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()) + 1) return -1;
    return static_cast<std::int32_t>(-static_cast<std::int64_t>(Q));
  }
  if (Q > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max())) return -1;
  return static_cast<std::int32_t>(Q);
}
