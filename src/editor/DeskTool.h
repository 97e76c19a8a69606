#pragma once
// What the desk's mouse does: the desk window turns its mouse events into these
// calls on the current tool. The basic tool selects layers and opens the layer
// popup menu; the editing tools build on the same three hooks.
#include "editor/DeskToolHost.h"
#include "platform/Geometry.h"

enum class TDeskButton { Left, Right, Middle };

struct TDeskMouse {
  TDeskButton Button = TDeskButton::Left;  // the button pressed or released (moves: the one held)
  bool ButtonHeld = false;                 // moves: a button is held
  bool Shift = false;
  bool Ctrl = false;
  bool Alt = false;
  TPoint Window;  // desk-window pixels
};

class TDeskTool {
 public:
  explicit TDeskTool(IDeskToolHost& desk) : desk_(desk) {}
  virtual ~TDeskTool() = default;
  virtual void MouseDown(const TDeskMouse& mouse) = 0;
  virtual void MouseMove(const TDeskMouse& mouse) = 0;
  virtual void MouseUp(const TDeskMouse& mouse) = 0;

 protected:
  IDeskToolHost& desk_;
};

// Left press: the layer under the point becomes the selection (Ctrl keeps a
// selected layer under the point); a Ctrl-click that did not change the selection
// walks down to the next layer under the point. Another button released where it
// was pressed opens the popup menu for the layer under the point.
class TDeskSelectTool : public TDeskTool {
 public:
  using TDeskTool::TDeskTool;
  void MouseDown(const TDeskMouse& mouse) override;
  void MouseMove(const TDeskMouse& mouse) override;
  void MouseUp(const TDeskMouse& mouse) override;

 private:
  TPoint start_;
  bool moved_ = false;
};
