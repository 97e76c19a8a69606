#pragma once
// Tests that load skins: an installation in a temporary folder with the default
// interface and an interface file of the given lines, in use while the object lives.
#include <string>
#include <vector>

#include "platform/ProgramFolders.h"
#include "shell/InterfaceInfo.h"
#include "support/TestPaths.h"

class TTestInterface {
 public:
  explicit TTestInterface(std::vector<std::string> lines) {
    SetProgramFolders(folder_.Path());
    interface_.Dir = "Intfaces\\";
    interface_.Name = "DEFAULT\\";
    interface_.ResolutionIndex = 2;
    interface_.Info.LoadLines(lines);
  }
  ~TTestInterface() { SetProgramFolders({}); }
  TTestInterface(const TTestInterface&) = delete;
  TTestInterface& operator=(const TTestInterface&) = delete;

  // The folder of the default interface's 800-600 pictures.
  fs::path DefaultSkinFolder() const { return folder_ / "Intfaces/DEFAULT/800-600"; }
  TInterface& Interface() { return interface_; }

 private:
  TempFolder folder_;
  TInterface interface_;
  TUseInterface use_{interface_};
};
