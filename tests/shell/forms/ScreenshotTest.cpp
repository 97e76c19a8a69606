// A skinned window with picture buttons in their three states, shown on a real X
// server (Xvfb) and read back from the screen.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScreen>
#include <QWindow>
#include <cstdlib>
#include <unistd.h>

#include "SyntheticMouse.h"
#include "TestInterface.h"
#include "picture/forms/BitmapImage.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/Skins.h"
#include "support/TestPaths.h"

namespace {

constexpr TColor32 kSkinColor = Color32(60, 70, 80);
constexpr TColor32 kFrameColors[3] = {Color32(220, 30, 30), Color32(30, 220, 30), Color32(30, 30, 220)};

// Three 20x20 frames: an opaque 12x12 centre, a half-transparent ring, a clear border.
TBitmap32 Sheet() {
  TBitmap32 sheet(60, 20, 0);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      const int fx = x % 20, edge = std::min({fx, y, 19 - fx, 19 - y});
      const TColor32 alpha = edge >= 4 ? 0xFF000000u : edge >= 2 ? 0x80000000u : 0;
      sheet.SetPixel(x, y, (kFrameColors[x / 20] & 0x00FFFFFFu) | alpha);
    }
  return sheet;
}

void WritePng(const fs::path& file, const TBitmap32& picture) {
  fs::create_directories(file.parent_path());
  ASSERT_TRUE(ImageView(picture).save(QString::fromStdString(file.string()), "PNG"));
}

void RunEventsFor(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

TEST(SkinnedWindowScreenshot, ButtonsShowTheirSheetFramesOnScreen) {
  if (!std::getenv("TRESSARY_XVFB_CHILD")) {
    // Run this very test again on a fresh X server with the X11 platform.
    std::string output;
    const std::string command =
        (SourceDir() / "tests/support/xvfb-free").string() +
        " -s '-screen 0 1024x768x24' env QT_QPA_PLATFORM=xcb TRESSARY_XVFB_CHILD=1 "
        "/proc/" + std::to_string(getpid()) + "/exe --gtest_filter=SkinnedWindowScreenshot.* 2>&1";
    const int status = RunCommand(command, &output);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
    return;
  }
  ASSERT_EQ(QGuiApplication::platformName(), "xcb");
  TTestInterface installation({"ShotButtons = Sheet.png;"});
  WritePng(installation.DefaultSkinFolder() / "Shot.png", TBitmap32(120, 60, kSkinColor));
  WritePng(installation.DefaultSkinFolder() / "Sheet.png", Sheet());
  std::vector<std::string> messages;
  SetMessagePresenter([&](TMessageBoxKind, const std::string& text) { messages.push_back(text); });

  TSkinnedForm form("FormShot");
  auto* sheet = new TMyImage(&form);
  sheet->setObjectName("ImageButtons");
  sheet->hide();
  TGraphicButton* buttons[3];
  for (int i = 0; i < 3; ++i) {
    buttons[i] = new TGraphicButton(&form);
    buttons[i]->setGeometry(10 + 35 * i, 20, 20, 20);
    buttons[i]->Resource().SetImage(sheet);
    buttons[i]->Resource().SetDesignedStates();
    buttons[i]->SetActiveAlpha(128);
  }
  form.OnShow = [&] {
    LoadFormSkin(form, "FormShot.Skin", "Shot.png");
    LoadButtonsSkin(form, "ShotButtons", "Sheet.png", true);
  };
  form.move(100, 100);
  form.show();
  QElapsedTimer wait;
  wait.start();
  while (!(form.windowHandle() && form.windowHandle()->isExposed()) && wait.elapsed() < 5000)
    QApplication::processEvents(QEventLoop::AllEvents, 50);
  ASSERT_TRUE(form.windowHandle()->isExposed());
  SendMouse(buttons[1], QEvent::MouseMove, {10, 10}, Qt::NoButton);
  SendMouse(buttons[2], QEvent::MouseButtonPress, {10, 10}, Qt::LeftButton);
  ASSERT_EQ(buttons[0]->Resource().Index(), 0);
  ASSERT_EQ(buttons[1]->Resource().Index(), 1);
  ASSERT_EQ(buttons[2]->Resource().Index(), 2);
  RunEventsFor(300);

  const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
  const TBitmap32 frames = Sheet();
  const TBitmap32 background(20, 20, kSkinColor);
  for (int i = 0; i < 3; ++i) {
    // What the sheet's frame i gives over the skin at the default transparency.
    const TBitmap32 frame = CropBitmap(frames, 20 * i, 0, 20, 20);
    const TBitmap32 expected = ComposeButtonBuffer(background, frame, true, true, 1);
    const QPoint origin = form.mapToGlobal(buttons[i]->pos());
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < 20; ++x) {
        const QRgb got = screen.pixel(origin.x() + x, origin.y() + y) & 0xFFFFFF;
        ASSERT_EQ(got, expected.Pixel(x, y) & 0xFFFFFF) << "button " << i << " at " << x << "," << y;
      }
  }
  // The skin around the buttons is on screen as well.
  EXPECT_EQ(screen.pixel(form.mapToGlobal(QPoint(2, 2))) & 0xFFFFFF, kSkinColor & 0xFFFFFF);
  EXPECT_TRUE(messages.empty());
  SetMessagePresenter(nullptr);
}
