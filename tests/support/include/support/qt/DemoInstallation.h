#pragma once
// The smoke demos' start: the installation at `folder` as the program sees it
// after start-up (its ini, the interface for the screen, the desk's view).
#include <memory>
#include <string>

#include "platform/IniFile.h"
#include "platform/qt/ScreenInfo.h"
#include "shell/InterfaceInfo.h"
#include "shell/ShellGlobals.h"

inline void UseInstallation(const std::string& folder) {
  ExePath = folder + "/";
  CompressedWorkExt = ProductInfo.CmpFileExt;
  UncompressedWorkExt = ProductInfo.UnCmpFileExt;
  MainIni = std::make_unique<TIniFile>(ExePath + "Tressary.ini", false);
  const TScreenInfo screen = CurrentScreen();
  InitInterfaceInfo(screen.Width, screen.Height, nullptr);
  UpdateDeskView();
}
