#include "shell/MainSettings.h"

TMainSettings& ProgramSettings() {
  static TMainSettings settings;
  return settings;
}
