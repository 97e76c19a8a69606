// bald-head-demo <installation>: a fitted portrait with dark hair; the main
// window's bald-head button, the hair erased with the eraser, the outline's
// blanks filled and accepted; then the colour calibration on a skin spot. The
// real X screen must show skin where the hair was, then the calibration colour.
// Exits 0 when it does; prints what it saw otherwise.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <vector>

#include "editor/AdjustController.h"
#include "editor/AdjustModel.h"
#include "editor/MontageDesk.h"
#include "editor/forms/FormBaldHead.h"
#include "editor/forms/FormColorCalibration.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormMain.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/PortraitScroll.h"
#include "shell/forms/GraphicButton.h"
#include "support/qt/SmokeDemo.h"
#include "support/qt/DrawnPortrait.h"

namespace {

template <class T>
T* TopLevel(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == name && w->isVisible()) return qobject_cast<T*>(w);
  return nullptr;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);

  TTemplateBase templates;
  TFormMain form(demo.Settings, templates);
  form.show();
  if (!PutDrawnPortrait(form, true)) return 1;
  TMontageDesk& desk = form.DeskWindow()->Desk();

  // Where the desk window shows a pixel of the portrait's picture, on the screen.
  auto onScreen = [&](TPoint p) {
    const TLayer* portrait = desk.PortraitLayer();
    const QPoint origin = form.DeskWindow()->mapToGlobal(QPoint(0, 0));
    const double canvasX = p.X + portrait->Left, canvasY = p.Y + portrait->Top;
    const TDeskGeometry& g = desk.DeskGeometry();
    return QPoint(origin.x() + int((canvasX - g.DeskViewLeft) / g.DeskScale),
                  origin.y() + int((canvasY - g.DeskViewTop) / g.DeskScale));
  };
  auto screenPixel = [](QPoint at) {
    QTest::qWait(150);
    return QApplication::primaryScreen()->grabWindow(0, at.x(), at.y(), 1, 1).toImage().pixelColor(0, 0);
  };

  std::vector<TPoint> hairInside;  // hair pixels the outline covers, in the picture
  TPoint skinSpot{};

  QTimer::singleShot(700, [&] {
    const TLayer* portrait = desk.PortraitLayer();
    if (!portrait) return void(DemoFail("no portrait on the desk"));
    std::vector<TPoint> hair, skin;
    const TBitmap32& picture = portrait->Picture;
    auto skinAround = [&picture](int x, int y) {
      for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
          if (picture.Pixel(x + dx, y + dy) != kDrawnSkin) return false;
      return true;
    };
    for (int y = 0; y < picture.Height(); y += 3)
      for (int x = 0; x < picture.Width(); x += 3) {
        const TColor32 c = picture.Pixel(x, y);
        if (AlphaOf(c) == 255 && RedOf(c) < 110 && RedOf(c) > GreenOf(c) + 10 && GreenOf(c) > BlueOf(c)) hair.push_back({x, y});
        if (skinAround(x, y)) skin.push_back({x, y});
      }
    if (hair.size() < 50 || skin.empty()) return void(DemoFail("the fitted portrait shows no hair or no skin"));
    skinSpot = skin[skin.size() / 2];

    QTimer::singleShot(500, [&, hair] {
      auto* editor = TopLevel<TFormBaldHead>("FormBaldHead");
      if (!editor) return void(DemoFail("the bald-head editor did not open"));
      const TPoint o = editor->Image->Origin();
      for (std::size_t i = 0; i < hair.size(); i += 7) DemoClick(editor->Image, QPoint(hair[i].X + o.X, hair[i].Y + o.Y));
      DemoClick(editor->ButtonEraserMode);
      DemoClick(editor->ButtonFillBlank);
      for (TPoint p : hair)
        if (editor->Editor().Shape().Contains(p.X, p.Y) && p.Y > 1) hairInside.push_back(p);
      if (editor->ButtonOK->isHidden()) return void(DemoFail("OK stayed hidden after the fill"));
      DemoClick(editor->ButtonOK);
    });
    DemoClick(form.findChild<TGraphicButton*>("ButtonBaldHead"));

    // Back from the editor: the desk shows skin where the outline covered hair.
    int skinLike = 0, samples = 0;
    for (std::size_t i = 0; i < hairInside.size(); i += std::max<std::size_t>(1, hairInside.size() / 40), ++samples) {
      const QColor c = screenPixel(onScreen(hairInside[i]));
      skinLike += c.red() > 180 && c.green() > 140 && c.blue() > 110 && c.red() + c.green() + c.blue() < 700;
    }
    std::fprintf(stderr, "hair under the outline: %zu pixels, %d of %d samples now skin\n", hairInside.size(), skinLike, samples);
    if (hairInside.size() < 30 || skinLike < samples * 9 / 10) return void(DemoFail("the desk still shows the hair"));

    QTimer::singleShot(500, [&] {
      auto* calibration = TopLevel<TFormColorCalibration>("FormColorCalibration");
      if (!calibration) return void(DemoFail("the colour calibration did not open"));
      const TPoint o = calibration->ImageLayer->Origin();
      DemoClick(calibration->ImageLayer, QPoint(skinSpot.X + o.X, skinSpot.Y + o.Y));
      DemoClick(calibration->ButtonOK);
    });
    DemoClick(form.findChild<TGraphicButton*>("ButtonColorCalibration"));
    const QColor c = screenPixel(onScreen(skinSpot));
    std::fprintf(stderr, "calibrated skin on the screen: %d %d %d\n", c.red(), c.green(), c.blue());
    const bool calibrated = std::abs(c.red() - 252) <= 3 && std::abs(c.green() - 217) <= 3 && std::abs(c.blue() - 188) <= 3;
    QApplication::exit(calibrated ? 0 : 1);
  });
  return QApplication::exec();
}
