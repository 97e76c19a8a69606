#include "shell/TransparencyError.h"

#include <string>

ETransparencyOutOfRange::ETransparencyOutOfRange(int value)
    : std::range_error("Trasparency value (" + std::to_string(value) + ") is out of range [0..100]") {}

void CheckTransparency(int value) {
  if (value < 0 || value > 100) throw ETransparencyOutOfRange(value);
}
