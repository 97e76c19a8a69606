#pragma once
// The one failure of the skin controls: a button transparency outside 0 to 100.
#include <stdexcept>

class ETransparencyOutOfRange : public std::range_error {
 public:
  explicit ETransparencyOutOfRange(int value);
};

// Raises ETransparencyOutOfRange unless 0 <= value <= 100.
void CheckTransparency(int value);
