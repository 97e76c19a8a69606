#include "shell/Fading.h"

#include <algorithm>
#include <cstdlib>

int TFadeSequence::Start(const TFadingEffect& effect, int savedTransparency) {
  effect_ = effect;
  saved_ = savedTransparency;
  stop_ = false;
  active_ = true;
  const int step = std::abs(effect.feStep);
  step_ = effect.feStart > effect.feFinish ? -step : step;
  return effect.feStart;
}

int TFadeSequence::Tick(int transparency) {
  if (!active_) return transparency;
  if (stop_) {
    if (transparency == effect_.feStart) {
      active_ = false;
      return saved_;
    }
    if (effect_.feSensitive) step_ = transparency > effect_.feStart ? -std::abs(step_) : std::abs(step_);
  }
  const int low = std::min(effect_.feStart, effect_.feFinish);
  const int high = std::max(effect_.feStart, effect_.feFinish);
  const int next = transparency + step_;
  if (next > high || next < low) step_ = -step_;
  // Without a step the fade could never come back to its start: end it instead of
  // ticking forever.
  if (step_ == 0) {
    active_ = false;
    return saved_;
  }
  if (!effect_.feRepeated) stop_ = true;
  return transparency + step_;
}
