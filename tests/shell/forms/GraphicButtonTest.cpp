#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <memory>

#include "SyntheticMouse.h"
#include "shell/TransparencyError.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/Image.h"
#include "shell/forms/ShellForms.h"

namespace {

constexpr TColor32 kFrameColors[3] = {Color32(200, 0, 0), Color32(0, 200, 0), Color32(0, 0, 200)};

// Three 10x10 frames side by side: an opaque 6x6 centre in the frame's colour,
// a 2-pixel border of the same colour with alpha 0.
TBitmap32 Sheet() {
  TBitmap32 sheet(30, 10, 0);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 30; ++x) {
      const bool centre = x % 10 >= 2 && x % 10 < 8 && y >= 2 && y < 8;
      sheet.SetPixel(x, y, (kFrameColors[x / 10] & 0x00FFFFFFu) | (centre ? 0xFF000000u : 0));
    }
  return sheet;
}

// A window with a plain grey background, its button sheet and one button whose
// frames follow the designed windows' rule (normal 0, hover 1, pressed 2).
struct ButtonWindow {
  std::unique_ptr<QWidget> window = std::make_unique<QWidget>();
  TImage* sheet = new TImage(window.get());
  TGraphicButton* button = new TGraphicButton(window.get());

  ButtonWindow() {
    window->resize(100, 60);
    window->setAutoFillBackground(true);
    QPalette palette = window->palette();
    palette.setColor(QPalette::Window, QColor(50, 60, 70));
    window->setPalette(palette);
    sheet->hide();
    sheet->SetPicture(Sheet());
    button->setGeometry(20, 10, 10, 10);
    button->SetActiveAlpha(1);
    TGraphicResource& r = button->Resource();
    r.SetImage(sheet);
    r.SetDesignedStates();
  }
};

}  // namespace

TEST(GraphicButton, MouseStatesSwitchFramesOnlyOverOpaquePixels) {
  ButtonWindow w;
  TGraphicButton* b = w.button;
  SendEnter(b, {0, 0});
  SendMouse(b, QEvent::MouseMove, {1, 1});  // transparent border
  EXPECT_EQ(b->Resource().Index(), 0);
  SendMouse(b, QEvent::MouseMove, {5, 5});
  EXPECT_EQ(b->Resource().Index(), 1);
  SendMouse(b, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
  EXPECT_EQ(b->Resource().Index(), 2);
  // Held down and moved off the opaque part: stays pressed.
  SendMouse(b, QEvent::MouseMove, {0, 0});
  EXPECT_EQ(b->Resource().Index(), 2);
  SendMouse(b, QEvent::MouseButtonRelease, {0, 0}, Qt::LeftButton);
  EXPECT_EQ(b->Resource().Index(), 0);
  SendMouse(b, QEvent::MouseMove, {4, 4});
  EXPECT_EQ(b->Resource().Index(), 1);
  SendLeave(b);
  EXPECT_EQ(b->Resource().Index(), 0);
}

TEST(GraphicButton, ClickFiresOnlyWhereTheFrameTakesTheMouse) {
  ButtonWindow w;
  TGraphicButton* b = w.button;
  int clicks = 0;
  b->OnClick = [&] { ++clicks; };
  ClickAt(b, {1, 1});
  EXPECT_EQ(clicks, 0);
  ClickAt(b, {5, 5});
  EXPECT_EQ(clicks, 1);
  // An invisible button still takes clicks on its sheet's opaque pixels.
  b->SetTransparency(100);
  ClickAt(b, {5, 5});
  EXPECT_EQ(clicks, 2);
  // With ActiveAlpha 0 every pixel of the sheet counts.
  ClickAt(b, {0, 0});
  EXPECT_EQ(clicks, 2);
  b->SetActiveAlpha(-5);
  EXPECT_EQ(b->ActiveAlpha(), 0);
  ClickAt(b, {0, 0});
  EXPECT_EQ(clicks, 3);
  b->SetActiveAlpha(300);
  EXPECT_EQ(b->ActiveAlpha(), 255);
  ClickAt(b, {5, 5});
  EXPECT_EQ(clicks, 4);
}

TEST(GraphicButton, StretchedFrameIsHitWhereItIsDrawn) {
  ButtonWindow w;
  TGraphicButton* b = w.button;
  b->resize(20, 20);  // frame stays 10x10 on the sheet (Resource.Width set)
  b->Resource().SetWidth(10);
  b->Resource().SetHeight(10);
  EXPECT_TRUE(b->HitTest(10, 10));
  EXPECT_FALSE(b->HitTest(17, 17));  // sheet (8, 8): the border
  EXPECT_TRUE(b->HitTest(15, 15));
  // With Width 0 the frame is the control's size: sheet (15, 15) lies below it.
  b->Resource().SetWidth(0);
  b->Resource().SetHeight(0);
  EXPECT_FALSE(b->HitTest(15, 15));
}

TEST(GraphicButton, NoFrameSwitchForMinusOneAndNoReadOutsideTheGrid) {
  ButtonWindow w;
  TGraphicButton* b = w.button;
  b->Resource().AutoEnter = -1;
  b->Resource().AutoLeave = -1;
  SendMouse(b, QEvent::MouseMove, {5, 5});
  EXPECT_EQ(b->Resource().Index(), 0);
  b->Resource().SetIndex(-1);
  EXPECT_EQ(b->Resource().Index(), 0);
  SendMouse(b, QEvent::MouseButtonPress, {5, 5}, Qt::LeftButton);
  SendLeave(b);
  EXPECT_EQ(b->Resource().Index(), 2);
}

TEST(GraphicButton, PressedLatchesTheLookAndFreezesMouseStates) {
  ButtonWindow w;
  TGraphicButton* b = w.button;
  b->SetPressed(true);
  EXPECT_EQ(b->Resource().Index(), 2);
  SendMouse(b, QEvent::MouseMove, {5, 5});
  SendLeave(b);
  EXPECT_EQ(b->Resource().Index(), 2);
  SendMouse(b, QEvent::MouseMove, {5, 5});
  b->SetPressed(false);  // cursor over the control
  EXPECT_EQ(b->Resource().Index(), 1);
  b->SetPressed(true);
  SendLeave(b);
  b->SetPressed(false);
  EXPECT_EQ(b->Resource().Index(), 0);
}

TEST(GraphicButton, TransparencyOutsideTheRangeRaisesAndKeepsTheValue) {
  ButtonWindow w;
  EXPECT_EQ(w.button->Transparency(), 1);
  EXPECT_THROW(w.button->SetTransparency(101), ETransparencyOutOfRange);
  EXPECT_EQ(w.button->Transparency(), 1);
}

TEST(GraphicButton, BufferBlendsTheFrameOverTheParentAndEarlierSiblings) {
  ButtonWindow w;
  // A red panel under the left half of the button, made before it; a white one
  // over its right half, made after it (not part of what lies beneath).
  auto* under = new QWidget(w.window.get());
  under->setGeometry(0, 0, 25, 60);
  under->setAutoFillBackground(true);
  under->setPalette(QPalette(QColor(255, 0, 0)));
  w.button->stackUnder(under);
  under->stackUnder(w.button);
  auto* over = new QWidget(w.window.get());
  over->setGeometry(25, 0, 5, 60);
  over->setAutoFillBackground(true);
  over->setPalette(QPalette(QColor(255, 255, 255)));
  w.window->show();
  w.button->SetTransparency(0);
  w.button->Resource().SetColor(0xFF000000u | 0x00400000u);  // recolour opaque pixels to blue 0x40
  const TBitmap32& buffer = w.button->Buffer();
  ASSERT_EQ(buffer.Width(), 10);
  EXPECT_EQ(buffer.Pixel(0, 0), Color32(255, 0, 0));     // under: the red panel
  EXPECT_EQ(buffer.Pixel(9, 0), Color32(50, 60, 70));    // the window, not the later panel
  EXPECT_EQ(buffer.Pixel(5, 5), Color32(0, 0, 0x40));    // recoloured, fully opaque
  // Without recolouring and with transparency 0 the frame is drawn as it is,
  // transparent border included.
  w.button->Resource().SetColor(clNone);
  EXPECT_EQ(w.button->Buffer().Pixel(0, 0), Color32(200, 0, 0));
  // Transparency 50 halves the frame over the background (half to even).
  w.button->SetTransparency(50);
  EXPECT_EQ(w.button->Buffer().Pixel(5, 5), Color32(125, 30, 35));  // grey halves + red halves
  EXPECT_EQ(w.button->Buffer().Pixel(9, 9), Color32(50, 60, 70));   // alpha 0
  // Moving drops the snapshot: the background is taken again where it now is.
  w.button->move(60, 10);
  EXPECT_EQ(w.button->Buffer().Pixel(0, 0), Color32(50, 60, 70));
}

TEST(GraphicButton, ReloadingTheSheetRepaintsEveryButtonOnIt) {
  ButtonWindow w;
  auto* second = new TGraphicButton(w.window.get());
  second->setGeometry(40, 10, 10, 10);
  second->Resource().SetImage(w.sheet);
  second->Resource().SetCols(3);
  w.button->SetTransparency(0);
  second->SetTransparency(0);
  EXPECT_EQ(w.button->Buffer().Pixel(5, 5), Color32(200, 0, 0));
  EXPECT_EQ(second->Buffer().Pixel(5, 5), Color32(200, 0, 0));
  w.sheet->SetPicture(TBitmap32(30, 10, Color32(1, 2, 3)));
  EXPECT_EQ(w.button->Buffer().Pixel(5, 5), Color32(1, 2, 3));
  EXPECT_EQ(second->Buffer().Pixel(5, 5), Color32(1, 2, 3));
  // The window behind was repainted with the sheet: the background is taken again.
  w.button->SetTransparency(50);
  EXPECT_EQ(w.button->Buffer().Pixel(0, 0), Color32(25, 31, 37));  // halves of grey and (1, 2, 3)
  QPalette palette = w.window->palette();
  palette.setColor(QPalette::Window, QColor(0, 0, 0));
  w.window->setPalette(palette);
  w.sheet->SetPicture(TBitmap32(30, 10, Color32(2, 2, 2, 255)));
  EXPECT_EQ(w.button->Buffer().Pixel(0, 0), Color32(1, 1, 1));  // round(0) + round(1.0)
  // Without a sheet a blended button shows only what lies beneath; an opaque one
  // shows the control's colour (0x00BBGGRR).
  w.sheet->SetPicture(TBitmap32());
  EXPECT_EQ(w.button->Buffer().Pixel(0, 0), Color32(0, 0, 0));
  w.button->SetTransparency(0);
  w.button->SetColor(0x00332211u);
  EXPECT_EQ(w.button->Buffer().Pixel(0, 0), Color32(0x11, 0x22, 0x33));
}

TEST(GraphicButton, CopyTakesSettingsAndHandlersButNotAlphaOrEffects) {
  ButtonWindow w;
  TGraphicButton* proto = w.button;
  int clicks = 0;
  proto->OnClick = [&] { ++clicks; };
  proto->SetCaption("Go");
  proto->SetTransparency(30);
  proto->SetActiveAlpha(99);
  proto->StateEffects[1] = seFading;
  proto->setToolTip("Prototype");
  TGraphicButton copy(w.window.get());
  copy.CopyFrom(*proto);
  EXPECT_EQ(copy.Caption(), "Go");
  EXPECT_EQ(copy.Transparency(), 30);
  EXPECT_EQ(copy.ActiveAlpha(), 0);
  EXPECT_EQ(copy.StateEffects[1], seNone);
  EXPECT_EQ(copy.Resource().Image(), w.sheet);
  EXPECT_EQ(copy.Resource().Cols(), 3);
  EXPECT_EQ(copy.Resource().AutoPressed, 2);
  EXPECT_EQ(copy.size(), proto->size());
  EXPECT_EQ(copy.toolTip(), "Prototype");
  ClickAt(&copy, {5, 5});
  EXPECT_EQ(clicks, 1);
}

TEST(GraphicButton, AWindowsButtonTakesTheMainWindowsLooksInItsOwnPlace) {
  ButtonWindow main;
  main.button->setObjectName("ButtonExit");
  main.button->setToolTip("Close");
  // A window laid out from the main window (its owner).
  TSkinnedForm other("FormOther", main.window.get());
  TGraphicButton exit(&other), help(&other);
  exit.setObjectName("ButtonExit");
  help.setObjectName("ButtonHelp");
  for (TGraphicButton* b : {&exit, &help}) b->setGeometry(40, 2, 19, 20);
  EXPECT_TRUE(TakeMainWindowLooks(exit));
  EXPECT_EQ(exit.Resource().Image(), main.sheet);
  EXPECT_EQ(exit.toolTip(), "Close");
  EXPECT_EQ(exit.geometry(), QRect(40, 2, 19, 20));
  // The main window has no such button: nothing changes.
  EXPECT_FALSE(TakeMainWindowLooks(help));
  EXPECT_EQ(help.Resource().Image(), nullptr);
  EXPECT_EQ(help.geometry(), QRect(40, 2, 19, 20));
  // The main window's own button is its own model.
  EXPECT_FALSE(TakeMainWindowLooks(*main.button));
  // A window of no owner, opened over no window, has no main window to copy.
  TSkinnedForm loose("FormLoose");
  TGraphicButton looseExit(&loose);
  looseExit.setObjectName("ButtonExit");
  EXPECT_FALSE(TakeMainWindowLooks(looseExit));
}

TEST(GraphicButton, FadeOnEnteringAFrameEndsOnTheSavedTransparency) {
  ButtonWindow w;
  TGraphicButton* b = w.button;
  b->SetTransparency(7);
  b->StateEffects[1] = seFading;
  b->FadingEffect.feInterval = 1;
  SendMouse(b, QEvent::MouseMove, {5, 5});
  ASSERT_TRUE(b->FadeRunning());
  EXPECT_EQ(b->Transparency(), 1);
  int highest = 0;
  QElapsedTimer deadline;
  deadline.start();
  while (b->FadeRunning() && deadline.elapsed() < 10000) {
    QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    highest = std::max(highest, b->Transparency());
  }
  EXPECT_FALSE(b->FadeRunning());
  EXPECT_EQ(highest, 51);
  EXPECT_EQ(b->Transparency(), 7);
}

TEST(GraphicButton, PaintedWindowShowsTheComposedFace) {
  ButtonWindow w;
  w.window->show();
  const QImage shot = w.window->grab().toImage();
  // Transparency 1: the frame at 99 % over the grey window; the border shows the window.
  const double f = 1.0 - 1 / 100.0;
  const auto expect = [f](int under, int over) {
    return int(std::nearbyint((1.0 - f) * under) + std::nearbyint(f * over));
  };
  EXPECT_EQ(shot.pixelColor(25, 15), QColor(expect(50, 200), expect(60, 0), expect(70, 0)));
  EXPECT_EQ(shot.pixelColor(20, 10), QColor(50, 60, 70));
  EXPECT_EQ(shot.pixelColor(25, 15).rgb(), QColor::fromRgba(w.button->Buffer().Pixel(5, 5)).rgb());
}

TEST(GraphicButton, DoubleClickFiresOnceWithoutASecondClickAndEventsReachTheirHandlers) {
  ButtonWindow w;
  TGraphicButton* b = w.button;
  int clicks = 0, doubles = 0, enters = 0, leaves = 0, downs = 0, ups = 0;
  b->OnClick = [&] { ++clicks; };
  b->OnDblClick = [&] { ++doubles; };
  b->OnMouseEnter = [&] { ++enters; };
  b->OnMouseLeave = [&] { ++leaves; };
  b->OnMouseDown = [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++downs; };
  b->OnMouseUp = [&](Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ++ups; };
  SendEnter(b, {5, 5});
  ClickAt(b, {5, 5});
  SendMouse(b, QEvent::MouseButtonDblClick, {5, 5}, Qt::LeftButton);
  SendMouse(b, QEvent::MouseButtonRelease, {5, 5}, Qt::LeftButton);
  SendLeave(b);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubles, 1);
  EXPECT_EQ(downs, 2);
  EXPECT_EQ(ups, 2);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(leaves, 1);
  // Clicks on the transparent border still reach the ordinary mouse events.
  ClickAt(b, {0, 0});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(downs, 3);
}

// A click that opens a modal window disables the button's window; once it is
// enabled again the button shows its normal face and its caption in the
// enabled colour, not the look it had while disabled.
TEST(GraphicButton, AButtonEnabledAgainDropsTheLookItHadWhileDisabled) {
  ButtonWindow w;
  TGraphicButton* b = w.button;
  b->setGeometry(20, 10, 60, 30);
  b->Resource().SetWidth(10);  // the 10 x 10 frame stretched over the larger button
  b->Resource().SetHeight(10);
  QPalette palette = b->palette();
  palette.setColor(QPalette::Active, QPalette::WindowText, QColor(0, 0, 255));
  palette.setColor(QPalette::Inactive, QPalette::WindowText, QColor(0, 0, 255));
  palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(255, 255, 0));
  b->setPalette(palette);
  b->SetCaption("Add");
  // Caption ink: pixels near `colour` (the text is smoothed and the face blended).
  auto count = [b](TColor32 colour) {
    const TBitmap32& buffer = b->Buffer();
    int n = 0;
    for (int y = 0; y < buffer.Height(); ++y)
      for (int x = 0; x < buffer.Width(); ++x) {
        const TColor32 c = buffer.Pixel(x, y);
        n += std::abs(RedOf(c) - RedOf(colour)) < 60 && std::abs(GreenOf(c) - GreenOf(colour)) < 60 &&
             std::abs(BlueOf(c) - BlueOf(colour)) < 60;
      }
    return n;
  };
  w.window->show();
  SendEnter(b, {30, 15});
  SendMouse(b, QEvent::MouseMove, {30, 15});
  ASSERT_EQ(b->Resource().Index(), 1);
  w.window->setEnabled(false);  // the modal window opened by the click
  SendLeave(b);
  EXPECT_GT(count(Color32(255, 255, 0)), 0);
  w.window->setEnabled(true);
  EXPECT_EQ(b->Resource().Index(), 0);
  EXPECT_EQ(count(Color32(255, 255, 0)), 0);
  EXPECT_GT(count(Color32(0, 0, 255)), 0);
}

TEST(GraphicButton, DisabledButtonKeepsItsFrame) {
  ButtonWindow w;
  w.button->setEnabled(false);
  SendMouse(w.button, QEvent::MouseMove, {5, 5});
  EXPECT_EQ(w.button->Resource().Index(), 0);
}
