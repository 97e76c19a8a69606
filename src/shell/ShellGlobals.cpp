#include "shell/ShellGlobals.h"

#include "platform/ProgramFolders.h"

std::string ExePath;
std::string HDPath;
std::string CDPath;
std::string CompressedWorkExt;
std::string UncompressedWorkExt;
bool IntroSkipped = false;

void ResetShellGlobals() {
  ExePath.clear();
  SetProgramFolders({});
  HDPath.clear();
  CDPath.clear();
  CompressedWorkExt.clear();
  UncompressedWorkExt.clear();
  IntroSkipped = false;
}
