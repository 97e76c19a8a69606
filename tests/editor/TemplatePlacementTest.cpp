// Placing templates by kind, fitting nails to their markers, and the browser's click.
#include <gtest/gtest.h>

#include <map>

#include "FakeTemplateDesk.h"
#include "editor/DeskMode.h"
#include "editor/TemplatePlacement.h"
#include "platform/ProgramFolders.h"

namespace {

class TemplatePlacementTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetProgramFolders({});
  }
  void TearDown() override {
    SetProgramFolders({});
  }
  FakeTemplateDesk desk;
  const std::vector<TPartTypeRecord> types = ParseTemplateTypes(
      {"1=1;HairW;Hair;30;F;", "2=4;Nails;Nails;20;N;", "3=9;Body;Body;5;B;", "4=6;Models;Models;50;M;"});
};

THandMarker Marker(int x, int y, int width, int length, int angle = 0) {
  THandMarker m;
  m.X = x;
  m.Y = y;
  m.Width = width;
  m.Length = length;
  m.Angle = angle;
  return m;
}

}  // namespace

TEST(TemplatePlace, BodyCentredOthersAtThePoint) {
  EXPECT_EQ(PlaceTemplate("B", {300, 400}, 101, 51), (TPoint{250, 375}));
  EXPECT_EQ(PlaceTemplate("B", {-3, -3}, 5, 5), (TPoint{-5, -5}));  // halves truncated toward zero
  EXPECT_EQ(PlaceTemplate("F", {300, 400}, 101, 51), (TPoint{300, 400}));
  EXPECT_EQ(PlaceTemplate("", {300, 400}, 101, 51), (TPoint{300, 400}));
}

TEST(TemplatePlace, NailFitsItsMarker) {
  const THandMarker m = Marker(200, 300, 40, 80);
  // Into 40 x 60 keeping the aspect: 80 x 120 halves.
  EXPECT_EQ(HandTemplateSize(m, {100, 100}, 80, 120), (TPoint{40, 60}));
  // A narrow picture is bounded by the length.
  EXPECT_EQ(HandTemplateSize(m, {100, 100}, 20, 120), (TPoint{10, 60}));
  // Percentages of the nail.
  EXPECT_EQ(HandTemplateSize(m, {50, 100}, 80, 120), (TPoint{20, 30}));
  // (0, 0): exactly the nail, aspect not kept.
  EXPECT_EQ(HandTemplateSize(m, {0, 0}, 13, 200), (TPoint{40, 60}));
  // A marker without width or length is refused.
  EXPECT_EQ(HandTemplateSize(Marker(200, 300, 0, 80), {100, 100}, 80, 120), std::nullopt);
  EXPECT_EQ(HandTemplateSize(Marker(200, 300, 40, 0), {0, 0}, 80, 120), std::nullopt);
  EXPECT_EQ(HandTemplateOrigin(m, 40, 60), (TPoint{180, 260}));
  EXPECT_EQ(HandTemplateOrigin(m, 41, 61), (TPoint{180, 259}));  // 20.5 -> 20, 40.67 -> 41
}

TEST_F(TemplatePlacementTest, FaceTemplateAtItsOffsetFromTheFacePoint) {
  desk.points.Face = {400, 450};
  desk.sizes["HairW\\bob.psd"] = {300, 380};
  const TPartInfoRecord entry{1, -106, -150, "HairW\\bob.psd", "Bob", ""};
  EXPECT_EQ(*ApplyTemplate(desk, types, entry, "HairW\\bob.psd", {tkFace, {}, false}), std::nullopt);
  ASSERT_EQ(desk.layers.size(), 1u);
  const TLayer& layer = *desk.layers[0];
  EXPECT_EQ(layer.Left, 294);
  EXPECT_EQ(layer.Top, 300);
  EXPECT_EQ(layer.Level(), 30);
  EXPECT_EQ(layer.TypeLetter, "F");
  EXPECT_EQ(layer.Caption, "Bob");
  EXPECT_EQ(desk.mode, dmColoration);  // the desk leaves the idle mode
  EXPECT_EQ(desk.changes, std::vector<TChangeKind>{ckLayerAdded});
  EXPECT_EQ(desk.selected, 0);
  EXPECT_EQ(desk.listRefreshes, 1);
  EXPECT_TRUE(desk.deletedTypes.empty());
}

TEST_F(TemplatePlacementTest, BodyTemplateCentredOnTheVisibleDesk) {
  desk.geometry.DeskViewLeft = 100;
  desk.geometry.DeskViewWidth = 400;  // centre x 300
  desk.geometry.DeskViewTop = 0;
  desk.geometry.DeskViewHeight = 600;
  desk.mode = dmPaint;
  desk.sizes["Body\\suit.psd"] = {101, 200};
  ApplyTemplate(desk, types, {9, 77, 77, "Body\\suit.psd", "Suit", ""}, "Body\\suit.psd", {tkBody, {}, true});
  ASSERT_EQ(desk.layers.size(), 1u);
  EXPECT_EQ(desk.layers[0]->Left, 250);
  EXPECT_EQ(desk.layers[0]->Top, 200);
  EXPECT_EQ(desk.mode, dmPaint);
  EXPECT_EQ(desk.deletedTypes, std::vector<int>{9});  // replace: only this type
}

TEST_F(TemplatePlacementTest, ModelTemplateFromTheCanvasCentreAndUnlistedType) {
  desk.geometry.DesktopTableWidth = 600;
  desk.geometry.DesktopTableHeight = 500;
  desk.geometry.UpdateDeskView();
  desk.sizes["m.psd"] = {10, 10};
  ApplyTemplate(desk, types, {6, -5, 8, "m.psd", "M", ""}, "m.psd", {tkModel, {}, false});
  EXPECT_EQ(desk.layers.back()->Left, 295);
  EXPECT_EQ(desk.layers.back()->Top, 258);
  EXPECT_EQ(desk.layers.back()->Level(), 50);
  // A type not listed is placed like a face template, level 0, no letter.
  desk.SetNewLayer(55, "Loose");
  const TFileResult<TLayer*> loaded = LoadTemplateLayer(desk, types, "m.psd", {12, 34}, 0);
  ASSERT_TRUE(loaded && *loaded);
  TLayer* layer = *loaded;
  EXPECT_EQ(layer->Left, 12);
  EXPECT_EQ(layer->Top, 34);
  EXPECT_EQ(layer->Level(), 0);
  EXPECT_EQ(layer->TypeLetter, "");
}

TEST_F(TemplatePlacementTest, NailsOnEachPressedUsableMarker) {
  desk.points.HandMarkers[0] = Marker(200, 300, 40, 80);
  desk.points.HandMarkers[1] = Marker(260, 280, 40, 80, 15);
  desk.points.HandMarkers[2] = Marker(-1, -1, 40, 80);  // not placed
  desk.points.HandMarkers[3] = Marker(330, 300, 0, 80);  // no width: refused
  desk.sizes["Nails\\red.psd"] = {80, 120};
  TApplyChoice choice{tkHand, {true, true, true, true, false}, true};
  EXPECT_EQ(*ApplyTemplate(desk, types, {4, 100, 100, "Nails\\red.psd", "Red", ""}, "Nails\\red.psd", choice), std::nullopt);
  ASSERT_EQ(desk.layers.size(), 2u);
  const TLayer& first = *desk.layers[0];
  EXPECT_EQ(first.Picture.Width(), 40);
  EXPECT_EQ(first.Picture.Height(), 60);
  EXPECT_EQ(first.Left, 180);  // centre column at the marker x
  EXPECT_EQ(first.Top, 260);   // two thirds above the marker y
  EXPECT_EQ(first.TypeLetter, "N");
  EXPECT_EQ(desk.layers[1]->Angle(), 15);
  EXPECT_TRUE(desk.deletedTypes.empty());  // replacing is not for nails

  // No usable nail pressed.
  choice.Nails = {false, false, true, true, false};
  EXPECT_EQ(*ApplyTemplate(desk, types, {4, 100, 100, "Nails\\red.psd", "Red", ""}, "Nails\\red.psd", choice),
            kMessageNailsNotSelected);
  EXPECT_EQ(desk.layers.size(), 2u);
}

// A template whose file cannot be read gives its loader's error and places nothing,
// on a nail as on the face.
TEST_F(TemplatePlacementTest, AnUnreadableTemplateIsToldAndNotPlaced) {
  desk.points.Face = {400, 450};
  desk.points.HandMarkers[0] = Marker(200, 300, 40, 80);
  desk.unreadable = {"HairW\\bad.psd"};
  for (const TApplyChoice& choice : {TApplyChoice{tkFace, {}, false}, TApplyChoice{tkHand, {true}, false}}) {
    const auto applied = ApplyTemplate(desk, types, {1, 0, 0, "HairW\\bad.psd", "Bad", ""}, "HairW\\bad.psd", choice);
    ASSERT_FALSE(applied);
    EXPECT_EQ(applied.Error().Cause, TFileFault::Damaged);
    EXPECT_EQ(applied.Error().Path, "HairW\\bad.psd");
  }
  EXPECT_TRUE(desk.layers.empty());
  EXPECT_TRUE(desk.changes.empty());
}

TEST_F(TemplatePlacementTest, MissingReferencePoints) {
  EXPECT_EQ(MissingReference(tkFace, desk.points), kMessageFaceIsNotAdjusted);
  EXPECT_EQ(MissingReference(tkHand, desk.points), kMessageHandIsNotAdjusted);
  EXPECT_EQ(MissingReference(tkBody, desk.points), std::nullopt);
  desk.points.Face = {10, -1};
  EXPECT_EQ(MissingReference(tkFace, desk.points), kMessageFaceIsNotAdjusted);
  desk.points.Face = {10, 20};
  desk.points.HandMarkers[4].X = 0;  // one coordinate set is enough
  EXPECT_EQ(MissingReference(tkFace, desk.points), std::nullopt);
  EXPECT_EQ(MissingReference(tkHand, desk.points), std::nullopt);
}
