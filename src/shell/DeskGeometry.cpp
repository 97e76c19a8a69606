#include "shell/DeskGeometry.h"

#include "platform/Numeric.h"
#include "shell/InterfaceInfo.h"

void TDeskGeometry::UpdateDeskView() {
  DeskViewWidth = RoundInt(DesktopWindowWidth * DeskScale);
  DeskViewHeight = RoundInt(DesktopWindowHeight * DeskScale);
  DeskViewLeft = RoundInt((DesktopTableWidth - DeskViewWidth) / 2.0);
  DeskViewTop = RoundInt((DesktopTableHeight - DeskViewHeight) / 2.0);
}

bool ReadDesktopGeometry(const TInterface& used, TDeskGeometry& geometry, std::string* error) {
  // A size of 0 or below would leave the desk without a canvas: the default stays.
  auto size = [&used](const char* key, int& target) {
    int v = InterfaceInt(used, key);
    if (v != kNoInterfaceInt && v > 0) target = v;
  };
  auto position = [&used](const char* key, int& target) {
    int v = InterfaceInt(used, key);
    if (v != kNoInterfaceInt) target = v;
  };
  size("DesktopTableWidth", geometry.DesktopTableWidth);
  size("DesktopTableHeight", geometry.DesktopTableHeight);
  if (geometry.DesktopTableWidth > kMaxDesktopTableSide || geometry.DesktopTableHeight > kMaxDesktopTableSide) {
    if (error) *error = "Desktop size exceeds the limit.";
    return false;
  }
  position("DesktopWindowX", geometry.DesktopWindowX);
  position("DesktopWindowY", geometry.DesktopWindowY);
  size("DesktopWindowWidth", geometry.DesktopWindowWidth);
  size("DesktopWindowHeight", geometry.DesktopWindowHeight);
  geometry.UpdateDeskView();
  return true;
}

TDeskGeometry InterfaceDeskGeometry() {
  TDeskGeometry geometry;
  ReadDesktopGeometry(InterfaceInUse(), geometry, nullptr);
  return geometry;
}
