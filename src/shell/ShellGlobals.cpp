#include "shell/ShellGlobals.h"

#include "platform/ProgramFolders.h"

std::string ExePath;
std::string HDPath;
std::string CDPath;

void ResetShellGlobals() {
  ExePath.clear();
  SetProgramFolders({});
  HDPath.clear();
  CDPath.clear();
}
