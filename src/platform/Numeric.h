#pragma once
// Rounding and size arithmetic shared by every subsystem.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>

// Round to nearest, ties to even (the program's one rounding rule).
inline std::int64_t RoundHalfEven(double value) {
  return static_cast<std::int64_t>(std::nearbyint(value));
}
// The same, saturated to the int range (NaN gives 0).
int RoundInt(double value);

// A TCP port number: 1 to 65535.
constexpr bool IsPortNumber(long long value) { return value >= 1 && value <= 65535; }

// Size products and sums for allocations: nullopt on overflow.
std::optional<std::size_t> CheckedMul(std::size_t a, std::size_t b);
std::optional<std::size_t> CheckedMul(std::size_t a, std::size_t b, std::size_t c);
std::optional<std::size_t> CheckedAdd(std::size_t a, std::size_t b);
