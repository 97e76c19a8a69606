// The layers list and the portrait preview over a real main window and desk.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScrollBar>
#include <set>

#include "editor/AdjustController.h"
#include "editor/MontageDesk.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormLayers.h"
#include "editor/forms/FormMain.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormPreview.h"
#include "picture/Layer.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"
#include "support/TestPaths.h"

namespace {

void Mouse(QWidget* widget, QEvent::Type type, QPoint p, Qt::MouseButton button = Qt::LeftButton) {
  const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
  QMouseEvent event(type, QPointF(p), QPointF(widget->mapToGlobal(p)), type == QEvent::MouseMove ? Qt::NoButton : button,
                    held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

class FormLayersTest : public ::testing::Test {
 protected:
  TInterface interface_;
  TUseInterface useInterface_{interface_};
  FormLayersTest() {
    SetProgramFolders(BuildDir() / "Tressary");
    interface_.Dir = "Intfaces\\";
    interface_.ResolutionIndex = 2;
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) { messages.push_back(text); });
    main = std::make_unique<TFormMain>(settings, templates);
    main->show();
    layers = std::make_unique<TFormLayers>();
    layers->MainWindow = main.get();
    preview = std::make_unique<TFormPreview>();
    preview->MainWindow = main.get();
  }
  ~FormLayersTest() override {
    preview.reset();
    layers.reset();
    main.reset();
    SetMessagePresenter(nullptr);
    SetProgramFolders({});
  }
  TMontageDesk& Desk() { return main->DeskWindow()->Desk(); }
  // Layers "a" (top) to "d", each 10 x 10 of its own colour.
  void AddFour() {
    const TColor32 colors[] = {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0xFF808080u};
    const char* names[] = {"d", "c", "b", "a"};
    for (int i = 0; i < 4; ++i) {
      auto layer = std::make_unique<TLayer>(Desk(), TBitmap32(10, 10, colors[i]), TNewLayer{names[i]});
      layer->Left = 10 * i;
      layer->Render(Desk().DeskFrame());
      Desk().InsertLayer(std::move(layer));
    }
    main->State().RefreshLayerList();  // as every caller that adds layers does
  }
  std::string DeskOrder() {
    std::string out;
    for (int i = 0; i < Desk().LayerCount(); ++i) out += Desk().Layer(i).Caption;
    return out;
  }
  std::string ListOrder() {
    std::string out;
    for (int i = 0; i < layers->RowCount(); ++i) out += layers->RowCaption(i);
    return out;
  }
  QWidget* Rows() { return layers->ListBox->viewport(); }
  QPoint RowPoint(int row) { return {60, row * kLayerRowHeight + 25}; }
  void Drag(int from, int to) {
    Mouse(Rows(), QEvent::MouseButtonPress, RowPoint(from));
    Mouse(Rows(), QEvent::MouseMove, RowPoint(from) + QPoint(0, 4));
    Mouse(Rows(), QEvent::MouseMove, RowPoint(to));
    Mouse(Rows(), QEvent::MouseButtonRelease, RowPoint(to));
  }
  bool Shown(TGraphicButton* button) { return button->isVisibleTo(layers.get()); }

  TMainSettings settings;
  std::vector<std::string> messages;
  TTemplateBase templates;
  std::unique_ptr<TFormMain> main;
  std::unique_ptr<TFormLayers> layers;
  std::unique_ptr<TFormPreview> preview;
};

TEST_F(FormLayersTest, AnEmptyDeskGivesAnEmptyListWithTheButtonsOff) {
  layers->show();
  EXPECT_EQ(layers->RowCount(), 0);
  EXPECT_FALSE(layers->ButtonLayerDelete->isEnabled());
  EXPECT_FALSE(layers->ButtonLayerMoveTop->isEnabled());
  EXPECT_FALSE(layers->ButtonLayerMoveBottom->isEnabled());
  EXPECT_FALSE(Shown(layers->ButtonLayerHide));
  EXPECT_TRUE(Shown(layers->ButtonLayerShow));
  EXPECT_FALSE(layers->ButtonLayerShow->isEnabled());
  EXPECT_EQ(layers->ButtonLayerShow->Resource().Index(), 3);
  EXPECT_TRUE(main->Button("ButtonLayerList")->Pressed());
  layers->close();
  EXPECT_FALSE(main->Button("ButtonLayerList")->Pressed());
}

TEST_F(FormLayersTest, TheListFollowsTheDeskAndAClickSelects) {
  layers->show();
  AddFour();
  EXPECT_EQ(ListOrder(), "abcd");
  // The thumbnail is the layer's picture at its own size, centred.
  EXPECT_EQ(layers->RowThumbnail(3).Pixel(22, 22), 0xFF0000FFu);
  EXPECT_EQ(layers->RowThumbnail(3).Pixel(2, 2) >> 24, 0u);
  Mouse(Rows(), QEvent::MouseButtonPress, RowPoint(1));
  Mouse(Rows(), QEvent::MouseButtonRelease, RowPoint(1) + QPoint(2, 2));
  EXPECT_EQ(Desk().SelectedIndex(), 1);
  EXPECT_EQ(layers->SelectedRow(), 1);
  EXPECT_TRUE(layers->ButtonLayerMoveTop->isEnabled());
  EXPECT_TRUE(Shown(layers->ButtonLayerHide));
  // A right click below the last row opens no menu and selects nothing.
  Mouse(Rows(), QEvent::MouseButtonPress, {60, 4 * kLayerRowHeight + 10}, Qt::RightButton);
  Mouse(Rows(), QEvent::MouseButtonRelease, {60, 4 * kLayerRowHeight + 10}, Qt::RightButton);
  EXPECT_EQ(Desk().PopupLayerIndex, -1);
  EXPECT_EQ(Desk().SelectedIndex(), 1);
}

TEST_F(FormLayersTest, DraggingRowThreeToRowOneMatchesTheMoveToTopButton) {
  AddFour();
  layers->show();
  Drag(2, 0);
  const std::string dragged = DeskOrder();
  EXPECT_EQ(dragged, "cabd");
  EXPECT_EQ(ListOrder(), dragged);  // the desk rebuilt the list
  EXPECT_EQ(main->State().LastChange(), ckStackOrder);
  // Back by dragging, then the same move by the list's button.
  Drag(0, 2);
  ASSERT_EQ(DeskOrder(), "abcd");
  Desk().SelectLayer(2);
  ASSERT_TRUE(layers->ButtonLayerMoveTop->isEnabled());
  layers->ButtonLayerMoveTop->OnClick();
  EXPECT_EQ(DeskOrder(), dragged);
  // A drop on the dragged row itself changes nothing.
  const std::string before = DeskOrder();
  Drag(1, 1);
  EXPECT_EQ(DeskOrder(), before);
}

TEST_F(FormLayersTest, HideAndShowRoundTripThroughTheListsButtons) {
  AddFour();
  layers->show();
  Desk().SelectLayer(0);
  ASSERT_TRUE(Shown(layers->ButtonLayerHide));
  layers->ButtonLayerHide->OnClick();
  EXPECT_FALSE(Desk().Layer(0).Visible());
  EXPECT_TRUE(Shown(layers->ButtonLayerShow));
  EXPECT_FALSE(Shown(layers->ButtonLayerHide));
  layers->ButtonLayerShow->OnClick();
  EXPECT_TRUE(Desk().Layer(0).Visible());
  EXPECT_TRUE(Shown(layers->ButtonLayerHide));
}

TEST_F(FormLayersTest, ThumbnailsShowTheTintAndFadeWhenTheLayerIsHidden) {
  AddFour();
  layers->show();
  const TColor32 plain = layers->RowThumbnail(3).Pixel(22, 22);
  Desk().Layer(3).SetColor(0x00FF00);  // a green tint
  layers->RefreshLayerList();
  const TColor32 tinted = layers->RowThumbnail(3).Pixel(22, 22);
  EXPECT_NE(tinted, plain);
  EXPECT_GT(GreenOf(tinted), GreenOf(plain));
  Desk().SelectLayer(3);
  layers->ButtonLayerHide->OnClick();
  EXPECT_LT(AlphaOf(layers->RowThumbnail(3).Pixel(22, 22)), 128u);
  layers->ButtonLayerShow->OnClick();
  EXPECT_EQ(layers->RowThumbnail(3).Pixel(22, 22), tinted);
}

// A hidden layer's thumbnail, drawn on the list's white as the list draws it,
// keeps its colours, only paler.
TEST_F(FormLayersTest, AHiddenLayersThumbnailKeepsItsColoursFaded) {
  TBitmap32 hat(40, 40, Color32(240, 240, 235));
  for (int y = 15; y < 25; ++y)
    for (int x = 15; x < 25; ++x) hat.SetPixel(x, y, Color32(220, 20, 20));
  auto layer = std::make_unique<TLayer>(Desk(), hat, TNewLayer{"hat"});
  layer->Render(Desk().DeskFrame());
  Desk().InsertLayer(std::move(layer));
  main->State().RefreshLayerList();
  layers->show();
  Desk().SelectLayer(0);
  layers->ButtonLayerHide->OnClick();
  const TBitmap32& thumb = layers->RowThumbnail(0);
  QImage onList(thumb.Width(), thumb.Height(), QImage::Format_RGB32);
  onList.fill(Qt::white);
  QPainter(&onList).drawImage(0, 0, QImage(thumb.Bits(), thumb.Width(), thumb.Height(), qsizetype(thumb.Stride()),
                                           QImage::Format_ARGB32_Premultiplied));
  const QColor centre = onList.pixelColor(thumb.Width() / 2, thumb.Height() / 2);
  const QColor edge = onList.pixelColor(thumb.Width() / 2, 3 * thumb.Height() / 4 + 2);
  // The red square: still red, faded towards the white under it.
  EXPECT_GE(centre.red(), 240) << centre.name().toStdString();
  EXPECT_GT(centre.green(), 140) << centre.name().toStdString();
  EXPECT_LT(centre.green(), 200) << centre.name().toStdString();
  EXPECT_EQ(centre.green(), centre.blue());
  // The near-white hat: near-white still.
  for (int channel : {edge.red(), edge.green(), edge.blue()}) EXPECT_GE(channel, 240) << edge.name().toStdString();
}

// While a slider is held, the thumbnail follows the layer within moments, not at
// the release.
TEST_F(FormLayersTest, AThumbnailFollowsASliderBeforeItIsLetGo) {
  AddFour();
  layers->show();
  Desk().SelectLayer(0);
  main->State().ModeButtonClick("ButtonAppearance");
  TGraphicSlider* slider = main->Slider("SliderBrightness");
  ASSERT_TRUE(slider->isVisibleTo(main.get()));
  const TColor32 before = layers->RowThumbnail(0).Pixel(22, 22);
  Mouse(slider, QEvent::MouseButtonPress, {40, 10});
  Mouse(slider, QEvent::MouseMove, {120, 10});
  ASSERT_NE(Desk().Layer(0).Brightness(), 100);
  QElapsedTimer clock;
  clock.start();
  while (layers->RowThumbnail(0).Pixel(22, 22) == before && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  EXPECT_NE(layers->RowThumbnail(0).Pixel(22, 22), before);
  Mouse(slider, QEvent::MouseButtonRelease, {120, 10});
}

TEST_F(FormLayersTest, ItsButtonsStandWholeWhateverTheMainWindowsMode) {
  AddFour();
  Desk().SelectLayer(1);
  for (int mode : {int(dmNone), int(dmPaint), int(dmActions)}) {
    main->State().SetDeskMode(mode);
    layers->show();
    for (TGraphicButton* button : {layers->ButtonLayerDelete, layers->ButtonLayerHide, layers->ButtonLayerMoveTop,
                                   layers->ButtonLayerMoveBottom}) {
      const std::string name = button->objectName().toStdString() + " in mode " + std::to_string(mode);
      EXPECT_TRUE(Shown(button)) << name;
      EXPECT_TRUE(layers->rect().contains(button->geometry())) << name;
      // Its caption fits and its face is not one flat colour.
      EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->Caption())) << name;
      const QImage face = button->grab().toImage();
      std::set<QRgb> colours;
      for (int y = 0; y < face.height(); ++y)
        for (int x = 0; x < face.width(); ++x) colours.insert(face.pixel(x, y));
      EXPECT_GT(colours.size(), 4u) << name;
    }
    layers->close();
  }
}

TEST_F(FormLayersTest, ThePreviewShowsThePortraitFittedOrWhite) {
  // A 200 x 100 portrait: left half red, right half blue.
  TBitmap32 portrait(200, 100, 0xFFFF0000u);
  for (int y = 0; y < 100; ++y)
    for (int x = 100; x < 200; ++x) portrait.SetPixel(x, y, 0xFF0000FFu);
  preview->show();
  EXPECT_TRUE(main->Button("ButtonPreview")->Pressed());
  const TBitmap32& shown = preview->PreviewBitmap();
  ASSERT_EQ(shown.Width(), preview->ResImage->width());
  EXPECT_EQ(shown.Pixel(shown.Width() / 2, shown.Height() / 2), 0xFFFFFFFFu);  // no portrait yet
  main->AdjustHost()->AddAdjustedLayer(kAdjustFace, portrait, false, {0, 0}, "Portrait");
  const int w = shown.Width(), h = shown.Height();
  // Wider than high: the width is filled, the height is w / 2, centred.
  const int drawn = w / 2, top = (h - drawn) / 2;
  EXPECT_EQ(shown.Pixel(w / 4, h / 2), 0xFFFF0000u);
  EXPECT_EQ(shown.Pixel(3 * w / 4, h / 2), 0xFF0000FFu);
  EXPECT_EQ(shown.Pixel(w / 2, top - 3), 0xFFFFFFFFu);
  EXPECT_EQ(shown.Pixel(w / 2, top + drawn + 3), 0xFFFFFFFFu);
  EXPECT_EQ(shown.Pixel(0, 0), 0xFF000000u);
  // Clearing the desk empties the preview.
  Desk().ClearLayers();
  EXPECT_EQ(preview->PreviewBitmap().Pixel(w / 4, h / 2), 0xFFFFFFFFu);
  preview->close();
  EXPECT_FALSE(main->Button("ButtonPreview")->Pressed());
}

}  // namespace
