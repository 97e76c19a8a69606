#include "shell/ShellGlobals.h"

#include "platform/IniFile.h"
#include "platform/Numeric.h"
#include "platform/ProgramFolders.h"

std::string ExePath;
std::string HDPath;
std::string CDPath;
std::unique_ptr<TIniFile> MainIni;
std::string CompressedWorkExt;
std::string UncompressedWorkExt;
bool IntroSkipped = false;

int DesktopWindowX = kDefaultDesktopWindowX;
int DesktopWindowY = kDefaultDesktopWindowY;
int DesktopWindowWidth = kDefaultDesktopWindowWidth;
int DesktopWindowHeight = kDefaultDesktopWindowHeight;
int DesktopTableWidth = kDefaultDesktopTableWidth;
int DesktopTableHeight = kDefaultDesktopTableHeight;
double DeskScale = 1.0;
int DeskViewLeft = 0;
int DeskViewTop = 0;
int DeskViewWidth = 0;
int DeskViewHeight = 0;

const TIniFile& MainSettings() {
  static const TIniFile empty = TIniFile::FromText("");
  return MainIni ? *MainIni : empty;
}

void UpdateDeskView() {
  DeskViewWidth = RoundInt(DesktopWindowWidth * DeskScale);
  DeskViewHeight = RoundInt(DesktopWindowHeight * DeskScale);
  DeskViewLeft = RoundInt((DesktopTableWidth - DeskViewWidth) / 2.0);
  DeskViewTop = RoundInt((DesktopTableHeight - DeskViewHeight) / 2.0);
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
  DesktopWindowX = kDefaultDesktopWindowX;
  DesktopWindowY = kDefaultDesktopWindowY;
  DesktopWindowWidth = kDefaultDesktopWindowWidth;
  DesktopWindowHeight = kDefaultDesktopWindowHeight;
  DesktopTableWidth = kDefaultDesktopTableWidth;
  DesktopTableHeight = kDefaultDesktopTableHeight;
  DeskScale = 1.0;
  DeskViewLeft = DeskViewTop = DeskViewWidth = DeskViewHeight = 0;
}
