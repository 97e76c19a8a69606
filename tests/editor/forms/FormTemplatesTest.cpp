// The template browser: its grid of previews, counts, scrolling and the click that
// lays a template on the desk.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMouseEvent>

#include "FakeTemplateDesk.h"
#include "editor/Questionnaires.h"
#include "editor/TemplateBase.h"
#include "editor/forms/FormTemplates.h"
#include "picture/BitmapRoutines.h"
#include "picture/PsdFile.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/MainSettings.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"
#include "shell/forms/SoundHint.h"
#include "support/TestPaths.h"

namespace {

class FormTemplatesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});  // skins are not installed here
    SetProgramFolders(folder_.Path());
    WriteTestFile(folder_ / "Tressary.ini", "[TEMPLATE TYPES]\nT1=1;HairW;Hair;40;F;\nT2=4;Nails;Nails;20;N;\n");
    settings_.Ini = TIniFile(folder_ / "Tressary.ini", false);
    // A red picture 40 x 30 opaque in its middle, and one far larger than a cell.
    TBitmap32 small(40, 30, 0);
    for (int y = 5; y < 25; ++y)
      for (int x = 5; x < 35; ++x) small.SetPixel(x, y, Color32(220, 0, 0, 255));
    fs::create_directories(folder_ / "HairW");
    fs::create_directories(folder_ / "Nails");
    ASSERT_TRUE(SavePsdFile(small, folder_ / "HairW/Small.psd"));
    ASSERT_TRUE(SavePsdFile(small, folder_ / "Nails/Small.psd"));
    ASSERT_TRUE(SavePsdFile(TBitmap32(300, 400, Color32(0, 0, 200, 255)), folder_ / "HairW/Large.psd"));
    std::string base = "$PART_TYPE 1\n1;-10;-20;Small.psd;Small;\n1;0;0;Gone.psd;Gone;\n1;999;0;Large.psd;Long styles;\n";
    for (int i = 0; i < 8; ++i) base += "1;0;0;Large.psd;Large " + std::to_string(i) + ";\n";
    base += "4;100;100;Small.psd;Nails;\n";
    WriteTestFile(folder_ / "PartBase.txt", base);
    form_.Desk = &desk_;
    form_.ShowMessage = [this](const std::string& text, bool) { messages_.push_back(text); };
  }
  void TearDown() override {
    form_.close();
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  // A grid pixel as (r, g, b).
  std::tuple<int, int, int> At(int x, int y) const {
    const TColor32 c = form_.GridBitmap().Pixel(x, y);
    return {RedOf(c), GreenOf(c), BlueOf(c)};
  }
  int CountInCell(int row, int column, const std::function<bool(int, int, int)>& test) const {
    const TRect cell = form_.Grid().Cell(row, column);
    int n = 0;
    for (int y = cell.Top + 1; y < cell.Bottom - 1; ++y)
      for (int x = cell.Left + 1; x < cell.Right - 1; ++x) {
        auto [r, g, b] = At(x, y);
        if (test(r, g, b)) ++n;
      }
    return n;
  }

  TMainSettings settings_;
  TempFolder folder_;
  FakeTemplateDesk desk_;
  std::vector<std::string> messages_;
  TTemplateBase templates_;
  TQuestionnaires questionnaires_;
  TFormTemplates form_{settings_, templates_, questionnaires_};
};

}  // namespace

TEST_F(FormTemplatesTest, GridShowsPreviewsCountsAndNotFound) {
  ASSERT_TRUE(form_.OpenForType(1, {2, 4}, "Hair", tkFace));
  ASSERT_TRUE(form_.isVisible());
  EXPECT_EQ(form_.Shown().size(), 11u);
  EXPECT_EQ(form_.LabelNumPartsShow->text(), "11");
  EXPECT_EQ(form_.LabelNumPartsTotal->text(), "(11)");
  EXPECT_EQ(form_.SliderScrollPreview->Max(), 2);  // 11 in 2 x 4: two more rows
  // The small picture at its own size, centred: red in the middle of cell 1.
  const TRect cell = form_.Grid().Cell(0, 0);
  EXPECT_EQ(At(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2), std::make_tuple(220, 0, 0));
  EXPECT_EQ(At(cell.Left + cell.Width() / 2 - 19, cell.Top + cell.Height() / 2), std::make_tuple(255, 255, 255));
  // The missing file: dark red text in cell 2.
  EXPECT_GT(CountInCell(0, 1, [](int r, int g, int b) { return r - g > 60 && r - b > 60; }), 5);
  // The large picture fitted to the cell's height: blue from top to bottom.
  const TRect third = form_.Grid().Cell(1, 0);
  EXPECT_EQ(At(third.Left + third.Width() / 2, third.Top + 20), std::make_tuple(0, 0, 200));
  EXPECT_EQ(At(third.Left + 3, third.Top + 30), std::make_tuple(255, 255, 255));
  // The caption cell's title shows; grid lines are grey.
  EXPECT_TRUE(form_.LabelPartsName->isVisible());
  EXPECT_EQ(form_.LabelPartsName->text(), "Long styles");
  EXPECT_EQ(At(form_.Grid().CellWidth(), 10), std::make_tuple(128, 128, 128));
  // Nails are not offered for face templates; replacing is.
  EXPECT_FALSE(form_.ButtonNail[0]->isVisible());
  EXPECT_TRUE(form_.ButtonReplaceSameType->isVisible());
}

TEST_F(FormTemplatesTest, TheCounterStaysClearOfTheTitleAndTheButtonsAtAnyFontSize) {
  for (int pixels : {0, 16, 22}) {
    if (pixels > 0) {
      // As an interface file gives its labels and caption a larger font.
      QFont font = form_.font();
      font.setPixelSize(pixels);
      for (QWidget* w : {static_cast<QWidget*>(form_.LabelNumPartsShow), static_cast<QWidget*>(form_.LabelNumPartsTotal),
                         static_cast<QWidget*>(form_.CaptionBar)})
        w->setFont(font);
    }
    ASSERT_TRUE(form_.OpenForType(1, {2, 4}, "Hair", tkFace));
    const QRect show = form_.LabelNumPartsShow->geometry(), total = form_.LabelNumPartsTotal->geometry();
    const std::string where = "font " + std::to_string(pixels) + "px";
    for (const QLabel* label : {form_.LabelNumPartsShow, form_.LabelNumPartsTotal}) {
      const QSize need = label->sizeHint();
      EXPECT_GE(label->height(), need.height()) << where << ": " << label->text().toStdString() << " is clipped";
      EXPECT_GE(label->width(), need.width()) << where << ": " << label->text().toStdString() << " is clipped";
    }
    EXPECT_FALSE(show.intersects(total)) << where;
    for (const QWidget* other : {static_cast<QWidget*>(form_.CaptionBar), static_cast<QWidget*>(form_.ButtonReplaceSameType),
                                 static_cast<QWidget*>(form_.ResImage)}) {
      EXPECT_FALSE(show.intersects(other->geometry())) << where << ": the count runs into "
                                                       << other->objectName().toStdString();
      EXPECT_FALSE(total.intersects(other->geometry())) << where << ": the total runs into "
                                                        << other->objectName().toStdString();
    }
    EXPECT_TRUE(QRect(0, 0, form_.width(), form_.height()).contains(total)) << where;
    form_.close();
  }
}

// The name of the template under the mouse opens the hint bubble without a
// second move, and the next cell's name replaces it.
TEST_F(FormTemplatesTest, ATemplatesNameShowsInTheBubbleFromTheFirstMoveIntoItsCell) {
  TSoundHint hint;
  hint.Pause = 20;
  ASSERT_TRUE(form_.OpenForType(1, {2, 4}, "Hair", tkFace));
  QEvent enter(QEvent::Enter);
  QApplication::sendEvent(form_.ResImage, &enter);
  auto moveInto = [this](int column) {
    const TRect cell = form_.Grid().Cell(0, column);
    const QPointF at(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2);
    QMouseEvent move(QEvent::MouseMove, at, form_.ResImage->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(form_.ResImage, &move);
  };
  auto bubbleSays = [&hint](const QString& text) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 2000 && !(hint.HintWindow()->isVisible() && hint.HintWindow()->Caption() == text))
      QApplication::processEvents(QEventLoop::AllEvents, 10);
    return hint.HintWindow()->isVisible() && hint.HintWindow()->Caption() == text;
  };
  moveInto(0);
  EXPECT_TRUE(bubbleSays("Small"));
  moveInto(1);
  EXPECT_TRUE(bubbleSays("Gone"));
}

// A preview is scaled by the program's own alpha stretch, its colour laid over
// the white grid by its alpha; the video of a template found in the second
// content folder is offered from there.
TEST_F(FormTemplatesTest, PreviewsUseTheProgramsAlphaStretchAndIconsTheirOwnFolder) {
  TempFolder second;
  settings_.Content.HDPath = second.Path().string() + "/";
  fs::create_directories(second / "HairW");
  TBitmap32 ramp(300, 200);
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 300; ++x)
      ramp.SetPixel(x, y, Color32(std::uint8_t(x * 255 / 299), std::uint8_t(y), 90, std::uint8_t((x + y) % 256)));
  ASSERT_TRUE(SavePsdFile(ramp, second / "HairW/Far.psd"));
  WriteTestFile(second / "HairW/Far.avi", "frames");
  WriteTestFile(folder_ / "PartBase.txt", "$PART_TYPE 1\n1;0;0;Far.psd;Far;\n");
  form_.PlayVideo = [](const std::string&) {};
  ASSERT_TRUE(form_.OpenForType(1, {2, 4}, "Hair", tkFace));

  const TRect cell = form_.Grid().Cell(0, 0);
  const TRect at = form_.Grid().FitPicture(cell, ramp.Width(), ramp.Height());
  TBitmap32 expected(at.Width(), at.Height(), 0);
  StretchDrawAlpha32(expected, {0, 0, at.Width(), at.Height()}, ramp);
  int differing = 0;
  for (int y = std::max(0, cell.Top + 14 - at.Top); y < at.Height(); ++y)  // below the cell's number
    for (int x = 0; x < at.Width(); ++x) {
      const TColor32 e = expected.Pixel(x, y);
      auto over = [&e](int c) { return c + 255 * (255 - AlphaOf(e)) / 255; };
      const auto [r, g, b] = At(at.Left + x, at.Top + y);
      if (std::make_tuple(r, g, b) != std::make_tuple(over(RedOf(e)), over(GreenOf(e)), over(BlueOf(e)))) ++differing;
    }
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(form_.Icons().size(), 1u);
}

TEST_F(FormTemplatesTest, ClickPlacesAgainstTheFacePoint) {
  ASSERT_TRUE(form_.OpenForType(1, {2, 4}, "Hair", tkFace));
  const TRect first = form_.Grid().Cell(0, 0);
  form_.ResImageMouseUp(first.Left + 5, first.Top + 5);
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageFaceIsNotAdjusted"});
  EXPECT_TRUE(desk_.layers.empty());

  desk_.points.Face = {400, 300};
  form_.ResImageMouseUp(first.Left, first.Top);  // the cell's first pixel is its own
  ASSERT_EQ(desk_.layers.size(), 1u);
  EXPECT_EQ(desk_.layers[0]->Left, 390);
  EXPECT_EQ(desk_.layers[0]->Top, 280);
  EXPECT_EQ(desk_.layers[0]->Caption, "Small");
  EXPECT_EQ(desk_.created.back(), (folder_ / "HairW/Small.psd").string());

  // Missing file and caption cell: nothing happens.
  const TRect second = form_.Grid().Cell(0, 1), third = form_.Grid().Cell(1, 0);
  form_.ResImageMouseUp(second.Left + 5, second.Top + 5);
  form_.ResImageMouseUp(third.Left + 5, third.Top + 5);
  EXPECT_EQ(desk_.layers.size(), 1u);
  EXPECT_TRUE(desk_.deletedTypes.empty());

  // Replacing the same type.
  form_.ButtonReplaceSameType->SetPressed(true);
  form_.ResImageMouseUp(first.Left + 5, first.Top + 5);
  EXPECT_EQ(desk_.deletedTypes, std::vector<int>{1});
  EXPECT_EQ(desk_.layers.size(), 2u);
}

TEST_F(FormTemplatesTest, ScrollingByRowsPagesAndKeys) {
  ASSERT_TRUE(form_.OpenForType(1, {2, 4}, "Hair", tkFace));
  form_.ScrollPreview(true);
  EXPECT_EQ(form_.FirstRow(), 1);
  form_.ScrollByPage = true;
  form_.ScrollPreview(true);
  EXPECT_EQ(form_.FirstRow(), 2);
  // Row 2 at the top holds entries 5 and 6: a click on the top left takes entry 5.
  desk_.points.Face = {0, 0};
  const TRect first = form_.Grid().Cell(0, 0);
  form_.ResImageMouseUp(first.Left + 5, first.Top + 5);
  ASSERT_EQ(desk_.layers.size(), 1u);
  EXPECT_EQ(desk_.layers[0]->Caption, "Large 1");
  int key = 36;  // Home
  form_.OnKeyUp(key, 0);
  EXPECT_EQ(form_.FirstRow(), 0);
  EXPECT_EQ(key, 0);
  key = 35;  // End with Ctrl: not a browser key
  form_.OnKeyUp(key, 4);
  EXPECT_EQ(form_.FirstRow(), 0);
}

TEST_F(FormTemplatesTest, HandKindShowsTheNailButtonsAndRefreshesInPlace) {
  ASSERT_TRUE(form_.OpenForType(1, {2, 4}, "Hair", tkFace));
  ASSERT_TRUE(form_.OpenForType(4, {3, 3}, "Nails", tkHand));
  EXPECT_EQ(form_.Shown().size(), 1u);
  EXPECT_TRUE(form_.ButtonNail[4]->isVisible());
  EXPECT_FALSE(form_.ButtonReplaceSameType->isVisible());
  EXPECT_EQ(form_.Grid().Columns(), 3);
  const TRect first = form_.Grid().Cell(0, 0);
  form_.ResImageMouseUp(first.Left + 5, first.Top + 5);
  EXPECT_EQ(messages_, std::vector<std::string>{"MessageHandIsNotAdjusted"});
  desk_.points.HandMarkers[1].X = 100;
  desk_.points.HandMarkers[1].Y = 100;
  desk_.points.HandMarkers[1].Width = 20;
  desk_.points.HandMarkers[1].Length = 40;
  form_.ResImageMouseUp(first.Left + 5, first.Top + 5);
  EXPECT_EQ(messages_.back(), "MessageNailsNotSelected");
  form_.ButtonNail[1]->SetPressed(true);
  desk_.sizes[(folder_ / "Nails/Small.psd").string()] = {40, 30};
  form_.ResImageMouseUp(first.Left + 5, first.Top + 5);
  ASSERT_EQ(desk_.layers.size(), 1u);
  // 40 x 30 into 20 x 30 (three quarters of the length), keeping its aspect.
  EXPECT_EQ(desk_.layers[0]->Picture.Width(), 20);
  EXPECT_EQ(desk_.layers[0]->Picture.Height(), 15);
}

TEST_F(FormTemplatesTest, MissingCatalogueIsToldAndNothingShows) {
  fs::remove(folder_ / "PartBase.txt");
  EXPECT_FALSE(form_.OpenForType(1, {2, 4}, "Hair", tkFace));
  EXPECT_FALSE(form_.isVisible());
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_NE(messages_[0].find("PartBase.txt"), std::string::npos);
}
