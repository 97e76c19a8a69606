#pragma once
// Tests that load skins: an installation in a temporary folder with the default
// interface and an interface file of the given lines, undone when the object goes.
#include <string>
#include <vector>

#include "shell/InterfaceInfo.h"
#include "shell/ShellGlobals.h"
#include "support/TestPaths.h"

class TTestInterface {
 public:
  explicit TTestInterface(std::vector<std::string> lines) {
    ResetShellGlobals();
    ExePath = folder_.Path().string() + "/";
    InterfaceDir = "Intfaces\\";
    InterfaceName = "DEFAULT\\";
    ResolutionIndex = 2;
    InterfaceInfo = std::make_unique<TMrvInterfaceInfo>();
    InterfaceInfo->LoadLines(lines);
  }
  ~TTestInterface() {
    DoneInterfaceInfo();
    ResetShellGlobals();
  }
  TTestInterface(const TTestInterface&) = delete;
  TTestInterface& operator=(const TTestInterface&) = delete;

  // The folder of the default interface's 800-600 pictures.
  fs::path DefaultSkinFolder() const { return folder_ / "Intfaces/DEFAULT/800-600"; }

 private:
  TempFolder folder_;
};
