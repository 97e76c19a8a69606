#include "platform/Numeric.h"

#include <cfenv>
#include <limits>

int RoundInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (value <= std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(std::nearbyint(value));
}

std::optional<std::size_t> CheckedMul(std::size_t a, std::size_t b) {
  std::size_t out;
  if (__builtin_mul_overflow(a, b, &out)) return std::nullopt;
  return out;
}

std::optional<std::size_t> CheckedMul(std::size_t a, std::size_t b, std::size_t c) {
  auto ab = CheckedMul(a, b);
  return ab ? CheckedMul(*ab, c) : std::nullopt;
}

std::optional<std::size_t> CheckedAdd(std::size_t a, std::size_t b) {
  std::size_t out;
  if (__builtin_add_overflow(a, b, &out)) return std::nullopt;
  return out;
}
