#pragma once
// The fading effect of a picture button: its transparency swings from a start value
// towards a finish value and back, one step a timer tick, and returns to the value
// the button had when the fade ends. Qt-free; the button owns the timer.
#include <array>

enum TStateEffect { seNone, seFading };
// The effect run when a button shows frame 0 to 4.
using TStateEffects = std::array<TStateEffect, 5>;

struct TFadingEffect {
  int feStart = 1;
  int feFinish = 60;
  int feStep = 10;
  bool feSensitive = false;  // a stop request turns the fade back at once
  int feInterval = 50;       // milliseconds between steps
  bool feRepeated = false;   // swing until asked to stop, not just once
};

class TFadeSequence {
 public:
  // Starts a fade; returns the transparency to show first (feStart).
  int Start(const TFadingEffect& effect, int savedTransparency);
  // One timer tick from the transparency now shown: returns the next one. When the
  // fade has come back to feStart with a stop requested, returns the saved value and
  // the fade is over (Active() false).
  int Tick(int transparency);
  // Asks a running fade to end when it is back at its start.
  void RequestStop() { stop_ = true; }
  bool Active() const { return active_; }
  void Cancel() { active_ = false; }

 private:
  TFadingEffect effect_;
  int saved_ = 0;
  int step_ = 0;
  bool active_ = false;
  bool stop_ = false;
};
