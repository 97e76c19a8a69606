#include "platform/qt/FontWarmUp.h"

#include <fontconfig/fontconfig.h>

// Qt's font database takes the loaded configuration: FcInit keeps the first.
TFontWarmUp::TFontWarmUp() : thread_([] { FcInit(); }) {}

TFontWarmUp::~TFontWarmUp() { Wait(); }

void TFontWarmUp::Wait() {
  if (thread_.joinable()) thread_.join();
}
