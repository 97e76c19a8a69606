#pragma once
// The smoke demos' portrait.
#include "editor/AdjustController.h"
#include "editor/AdjustModel.h"
#include "editor/forms/FormMain.h"
#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

constexpr TColor32 kDrawnSkin = Color32(232, 188, 158);
constexpr TColor32 kDrawnHair = Color32(70, 45, 30);

// A frontal face on a light ground: skin oval, eyes `eyeDistance` apart; with
// `hair`, a cap of dark hair over the forehead.
inline TBitmap32 DrawnPortrait(int width, int height, TPoint leftEye, int eyeDistance, bool hair = false) {
  TBitmap32 picture(width, height, Color32(230, 232, 236));
  const double cx = leftEye.X + eyeDistance / 2.0, cy = leftEye.Y + eyeDistance * 0.1;
  const double rx = eyeDistance * 1.12, ry = eyeDistance * 1.5;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const double dx = (x - cx) / rx, dy = (y - cy) / ry;
      if (dx * dx + dy * dy <= 1) picture.SetPixel(x, y, hair && y < cy - 0.55 * ry ? kDrawnHair : kDrawnSkin);
      for (int eye = 0; eye < 2; ++eye) {
        const double ex = x - (leftEye.X + eye * eyeDistance), ey = y - leftEye.Y;
        if (ex * ex / 49 + ey * ey / 16 <= 1) picture.SetPixel(x, y, Color32(50, 40, 36));
      }
    }
  return picture;
}


// The portrait as the adjust window's OK puts it on the desk, its face point set.
inline bool PutDrawnPortrait(TFormMain& form, bool hair = false) {
  // The portrait as the adjust window's OK makes it: eyes found at (300, 260) and
  // (420, 260) in a 720 x 640 picture.
  const TBitmap32 source = DrawnPortrait(720, 640, {300, 260}, 120, hair);
  const TDeskGeometry& desk = form.State().DeskGeometry();
  TWorkPoints& points = form.AdjustHost()->Points();
  TAdjustModel model(desk.DesktopWindowWidth, desk.DesktopWindowHeight, points.HandMarkers);
  // The detector names the eyes as the person sees them: its left is the picture's right.
  model.Show(source.Width(), source.Height(), TEyeAnswer{420, 260, 300, 260});
  const auto fitted = model.Finish(source, false, desk.DesktopTableWidth, desk.DesktopTableHeight);
  if (!fitted) return false;
  points.Face = fitted->FacePoint;
  form.AdjustHost()->AddAdjustedLayer(kAdjustFace, fitted->Bitmap, false, fitted->LayerOrigin, "Portrait");
  return true;
}
