#pragma once
// The desk geometry: the canvas holds the work in picture pixels (at most 1024 a
// side); the desk window shows the canvas rectangle DeskView* at DeskScale canvas
// pixels per window pixel. The interface info gives the sizes and the window's
// place; the main state owns the geometry and moves the view as it zooms and
// scrolls. Fields are named as the interface info's keys.
#include <string>

#include "picture/LayerHost.h"

struct TInterface;

constexpr int kDefaultDesktopWindowX = 97;
constexpr int kDefaultDesktopWindowY = 62;
constexpr int kDefaultDesktopWindowWidth = 445;
constexpr int kDefaultDesktopWindowHeight = 492;
constexpr int kDefaultDesktopTableWidth = 890;
constexpr int kDefaultDesktopTableHeight = 984;
constexpr int kMaxDesktopTableSide = 1024;

struct TDeskGeometry {
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

  // Recomputes the desk view from the window size, the canvas size and
  // DeskScale: the view is the scaled window, centred on the canvas.
  void UpdateDeskView();
  // What the layers render the desk's view for.
  TViewFrame ViewFrame() const {
    return {DeskScale, DesktopWindowWidth, DesktopWindowHeight, Bounds(DeskViewLeft, DeskViewTop, DeskViewWidth, DeskViewHeight)};
  }
};

// Reads the desk sizes of `used` over `geometry` and sets the view; false (and
// the limit's message in `error`) when the canvas exceeds 1024 a side.
bool ReadDesktopGeometry(const TInterface& used, TDeskGeometry& geometry, std::string* error);
// The geometry the interface info gives over the defaults, its view set.
TDeskGeometry InterfaceDeskGeometry();
