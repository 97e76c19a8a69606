#include "editor/DeskTool.h"

void TDeskSelectTool::MouseDown(const TDeskMouse& mouse) {
  if (desk_.DeskBusy()) return;
  start_ = desk_.DeskToCanvas(mouse.Window);
  moved_ = false;
  desk_.ToolFlags().SelectionChangedOnPress = false;
  if (mouse.Button != TDeskButton::Left || desk_.LayerCount() == 0) return;
  const int hit = desk_.LayerAt(start_.X, start_.Y, mouse.Ctrl, false);
  if (hit != desk_.SelectedIndex()) {
    desk_.SelectLayer(hit);
    desk_.ToolFlags().SelectionChangedOnPress = true;
  }
}

void TDeskSelectTool::MouseMove(const TDeskMouse& mouse) {
  if (mouse.ButtonHeld && !(desk_.DeskToCanvas(mouse.Window) == start_)) moved_ = true;
}

void TDeskSelectTool::MouseUp(const TDeskMouse& mouse) {
  if (desk_.DeskBusy() || desk_.ToolFlags().InMouseUp) return;
  desk_.ToolFlags().InMouseUp = true;
  const TPoint point = desk_.DeskToCanvas(mouse.Window);
  const bool moved = moved_ || !(point == start_);
  if (!moved && mouse.Button == TDeskButton::Left) {
    if (!desk_.ToolFlags().SelectionChangedOnPress && mouse.Ctrl) desk_.SelectLayer(desk_.LayerAt(point.X, point.Y, true, true));
  } else if (!moved) {
    desk_.OpenLayerPopup(desk_.LayerAt(point.X, point.Y, mouse.Ctrl, false), mouse.Window);
  }
  desk_.ToolFlags().InMouseUp = false;
}
