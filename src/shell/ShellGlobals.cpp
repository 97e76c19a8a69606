#include "shell/ShellGlobals.h"

#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"

std::string ExePath;
std::string HDPath;
std::string CDPath;
std::unique_ptr<TIniFile> MainIni;
std::string CompressedWorkExt;
std::string UncompressedWorkExt;
bool IntroSkipped = false;

const TIniFile& MainSettings() {
  static const TIniFile empty = TIniFile::FromText("");
  return MainIni ? *MainIni : empty;
}

void ResetShellGlobals() {
  ExePath.clear();
  SetProgramFolders({});
  HDPath.clear();
  CDPath.clear();
  MainIni.reset();
  CompressedWorkExt.clear();
  UncompressedWorkExt.clear();
  IntroSkipped = false;
}
