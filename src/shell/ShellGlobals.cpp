#include "shell/ShellGlobals.h"

#include "platform/ProgramFolders.h"

std::string ExePath;

void ResetShellGlobals() {
  ExePath.clear();
  SetProgramFolders({});
}
