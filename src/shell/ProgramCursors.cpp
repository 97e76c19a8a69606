#include "shell/ProgramCursors.h"

#include "platform/Text.h"

std::string ProgramCursorFile(const TProgramCursor& spec) {
  return std::string(kCursorFolder) + LowerAscii(spec.Name) + ".png";
}
