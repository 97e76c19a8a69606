#include <gtest/gtest.h>

#include <set>

#include "editor/DeskTool.h"
#include "support/FakeDeskOwner.h"

namespace {

class DeskStack : public ::testing::Test, public DeskFixture {
 protected:
  void SetUp() override { SetSmallDesk(); }
  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (int i = 0; i < desk.LayerCount(); ++i) out.push_back(desk.Layer(i).Caption);
    return out;
  }
  TLayer& Named(const std::string& caption, int level) { return Add(4, 4, 0xFF000000, 0, 0, level, caption); }
};

using Names = std::vector<std::string>;

TEST_F(DeskStack, InsertKeepsDescendingLevelsAndPutsEqualLevelsAbove) {
  Named("low", 1);
  Named("high", 9);
  Named("mid", 5);
  Named("mid2", 5);  // equal level: above the first layer whose level is <= its own
  EXPECT_EQ(Captions(), (Names{"high", "mid2", "mid", "low"}));
  auto extra = std::make_unique<TLayer>(desk, TBitmap32(2, 2));
  extra->Caption = "lowest";
  extra->SetLevel(0);
  // An index equal to the count is not a place: the level decides (here the end).
  EXPECT_EQ(desk.InsertLayer(std::move(extra), desk.LayerCount()), 4);
  auto forced = std::make_unique<TLayer>(desk, TBitmap32(2, 2));
  forced->Caption = "forced";
  forced->SetLevel(100);
  EXPECT_EQ(desk.InsertLayer(std::move(forced), 2), 2);
  EXPECT_EQ(Captions(), (Names{"high", "mid2", "forced", "mid", "low", "lowest"}));
}

TEST_F(DeskStack, InsertAboveTheSelectionKeepsTheSameLayerSelected) {
  Named("a", 1);
  Named("b", 0);
  desk.SelectLayer(1);
  Named("top", 5);
  EXPECT_EQ(desk.SelectedLayer()->Caption, "b");
}

TEST_F(DeskStack, MoveLayerKeepsTheSelectionOnItsLayer) {
  for (const char* name : {"a", "b", "c", "d"}) Named(name, 0);
  // Equal levels stack newest on top.
  ASSERT_EQ(Captions(), (Names{"d", "c", "b", "a"}));
  desk.SelectLayer(2);  // "b"
  desk.MoveLayer(2, 0);  // the selected layer itself moves
  EXPECT_EQ(Captions(), (Names{"b", "d", "c", "a"}));
  EXPECT_EQ(desk.SelectedIndex(), 0);
  desk.MoveLayer(3, 0);  // from below the selection to above it: the selection moves down
  EXPECT_EQ(Captions(), (Names{"a", "b", "d", "c"}));
  EXPECT_EQ(desk.SelectedLayer()->Caption, "b");
  desk.MoveLayer(0, 3);  // from above to below: the selection moves up
  EXPECT_EQ(Captions(), (Names{"b", "d", "c", "a"}));
  EXPECT_EQ(desk.SelectedLayer()->Caption, "b");
  EXPECT_EQ(owner.changes, (std::vector<TChangeKind>{ckStackOrder, ckStackOrder, ckStackOrder}));
  const int controls = owner.controls;
  desk.MoveLayer(1, 1);
  desk.MoveLayer(0, 4);
  desk.MoveLayer(-1, 0);
  EXPECT_EQ(owner.changes.size(), 3u);
  EXPECT_EQ(owner.controls, controls);
}

TEST_F(DeskStack, DeleteAsksWithTheCaptionAndDeclinedLeavesTheWork) {
  Named("Curls", 0);
  owner.answer = 7;
  desk.DeleteLayer(0);
  ASSERT_EQ(owner.questions.size(), 1u);
  EXPECT_EQ(owner.questions[0], "Delete the layer\r\"Curls\" ?");
  EXPECT_EQ(desk.LayerCount(), 1);
  EXPECT_TRUE(owner.changes.empty());
  EXPECT_FALSE(desk.Deleting);
}

TEST_F(DeskStack, DeleteTakesTheAskedLayerWhereverTheQuestionLeftIt) {
  for (const char* name : {"a", "b", "c"}) Named(name, 0);  // c b a
  owner.whileAsking = [&] { desk.MoveLayer(0, 2); };
  desk.DeleteLayer(0);
  EXPECT_EQ(Captions(), (Names{"b", "a"}));
  owner.whileAsking = [&] { desk.ClearLayers(); };
  desk.DeleteLayer(0);
  EXPECT_EQ(desk.LayerCount(), 0);
  EXPECT_EQ(owner.changes, (std::vector<TChangeKind>{ckStackOrder, ckLayerDeleted}));  // clearing sends no code of its own
}

TEST_F(DeskStack, DeletingTheSelectedLayerSelectsTheOneAbove) {
  for (const char* name : {"a", "b", "c"}) Named(name, 0);  // c b a
  desk.SelectLayer(2);
  desk.DeleteLayer(2);
  EXPECT_EQ(Captions(), (Names{"c", "b"}));
  EXPECT_EQ(desk.SelectedLayer()->Caption, "b");
  desk.SelectLayer(0);
  desk.DeleteLayer(0);  // index 0 selects the new index 0
  EXPECT_EQ(desk.SelectedIndex(), 0);
  EXPECT_EQ(desk.SelectedLayer()->Caption, "b");
  desk.DeleteLayer(0);  // the only layer: no selection
  EXPECT_EQ(desk.LayerCount(), 0);
  EXPECT_EQ(desk.SelectedIndex(), -1);
  EXPECT_EQ(owner.regionsShown.back(), nullptr);  // nothing keeps showing the freed layer
  EXPECT_EQ(owner.changes, (std::vector<TChangeKind>{ckLayerDeleted, ckLayerDeleted, ckLayerDeleted}));
}

TEST_F(DeskStack, DeletingAboveTheSelectionShiftsItAndClearsTheSpecialSlot) {
  for (const char* name : {"a", "b", "c"}) Named(name, 0);  // c b a
  desk.SetPortraitLayer(&desk.Layer(0));
  desk.SelectLayer(2);
  desk.DeleteLayer(0);
  EXPECT_EQ(desk.SelectedLayer()->Caption, "a");
  EXPECT_EQ(desk.PortraitLayer(), nullptr);
  EXPECT_EQ(owner.portraitPreviewClears, 1);
  desk.DeleteLayer(5);
  EXPECT_EQ(owner.questions.size(), 1u);
}

TEST_F(DeskStack, DeleteByKindSparesTheSpecialLayers) {
  owner.typeLetters = {{3, "B"}, {4, "N"}};
  auto kinded = [&](const char* name, int type) -> TLayer& {
    TLayer& layer = Named(name, 0);
    layer.TypeId = type;
    return layer;
  };
  kinded("face1", 0);
  kinded("body1", 3);
  TLayer& portrait = kinded("portrait", 0);
  kinded("nail", 4);
  kinded("face2", 9);  // an unknown type counts as "F"
  desk.SetPortraitLayer(&portrait);
  desk.SelectLayer(0);
  desk.DeleteLayersByKind(" f ", -1, true);
  EXPECT_EQ(Captions(), (Names{"nail", "portrait", "body1"}));
  EXPECT_EQ(desk.SelectedIndex(), 0);
  EXPECT_EQ(owner.changes, (std::vector<TChangeKind>{ckLayerDeleted}));
  EXPECT_TRUE(owner.questions.empty());
  desk.DeleteLayersByKind("", 3, false);
  EXPECT_EQ(Captions(), (Names{"nail", "portrait"}));
  EXPECT_EQ(desk.SelectedIndex(), -1);
  desk.DeleteLayersByKind("  ", -1, true);  // blank letter, no type: nothing
  EXPECT_EQ(desk.LayerCount(), 2);
  EXPECT_EQ(owner.changes, (std::vector<TChangeKind>{ckLayerDeleted, ckLayerDeleted}));
  EXPECT_EQ(view.busy, 0);
}

TEST_F(DeskStack, ClearLayersEmptiesEverything) {
  Named("a", 0);
  desk.SetHandLayer(&Named("hand", 0));
  desk.SelectLayer(1);
  desk.ClearLayers();
  EXPECT_EQ(desk.LayerCount(), 0);
  EXPECT_EQ(desk.SelectedIndex(), -1);
  EXPECT_EQ(desk.HandLayer(), nullptr);
  EXPECT_EQ(owner.labels.back(), "");
  EXPECT_EQ(view.busy, 0);
}

TEST_F(DeskStack, SelectionLabelNamesTheCurrentRegion) {
  TLayer& layer = Named("Curls", 0);
  layer.Mask.SetRegionIndex(3);
  desk.SelectLayer(0);
  EXPECT_EQ(owner.labels.back(), "Curls (Region 3)");
  desk.SelectLayer(-1);
  EXPECT_EQ(owner.labels.back(), "");
  EXPECT_EQ(owner.listSelections, (std::vector<int>{0, -1}));
  EXPECT_EQ(owner.regionsShown, (std::vector<const TLayer*>{&layer, nullptr}));
  desk.SelectLayer(1);  // outside the list
  EXPECT_EQ(desk.SelectedIndex(), -1);
}

TEST_F(DeskStack, ARegionChosenOnTheSelectedLayerLabelsItAndLoadsItsSliders) {
  TLayer& layer = Named("Fringe", 0);
  desk.SelectLayer(0);
  owner.shown.clear();
  layer.Mask.SetRegionIndex(2);
  layer.Mask.SetRegionIndex(0);
  EXPECT_EQ(owner.labels.back(), "Fringe");
  EXPECT_EQ(owner.labels.end()[-2], "Fringe (Region 2)");
  ASSERT_EQ(owner.shown.size(), 2u);
  EXPECT_EQ(owner.shown[0].mask, &layer.Mask);
  EXPECT_EQ(owner.shown[1].mask, nullptr);
  // Another layer's region changes neither the label nor the sliders.
  Named("Other", 0).Mask.SetRegionIndex(1);
  EXPECT_EQ(owner.labels.back(), "Fringe");
  EXPECT_EQ(owner.shown.size(), 2u);
}

TEST_F(DeskStack, IdsAreEightDigitsAndAvoidIdsInUse) {
  TMontageDesk probe(owner);
  probe.SeedLayerIds(42);
  const std::string first = probe.NewLayerId();
  desk.SeedLayerIds(42);
  Named("a", 0).Id = first;  // the id the same seed gives first is taken
  const std::string id = desk.NewLayerId();
  EXPECT_NE(id, first);
  ASSERT_EQ(id.size(), 8u);
  EXPECT_EQ(id.find_first_not_of("0123456789"), std::string::npos);
  std::set<std::string> seen;
  for (int i = 0; i < 50; ++i) seen.insert(desk.NewLayerId());
  EXPECT_GT(seen.size(), 45u);  // the generator runs on, not re-seeded to a fixed id

  desk.Layer(0).Id = "ab12cd34";
  EXPECT_EQ(desk.IndexOfLayerId("AB12CD34"), 0);
  EXPECT_TRUE(desk.LayerIdExists("Ab12cD34"));
  EXPECT_EQ(desk.IndexOfLayerId("ab12cd3"), -1);
}

TEST_F(DeskStack, LayerAtTakesTheTopmostOpaquePixel) {
  TLayer& low = Add(10, 10, 0xFF0000FF, 0, 0);
  TLayer& high = Add(10, 10, 0x00000000, 5, 5);  // transparent except one pixel
  high.Picture.SetPixel(2, 2, 0x80FFFFFF);
  EXPECT_EQ(desk.IndexOfLayer(&high), 0);
  EXPECT_EQ(desk.LayerAt(7, 7, false, false), 0);
  EXPECT_EQ(desk.LayerAt(6, 6, false, false), 1);  // transparent on top: the one below
  EXPECT_EQ(desk.LayerAt(12, 12, false, false), -1);
  EXPECT_EQ(desk.LayerAt(-1, 0, false, false), -1);
  low.SetVisible(false);
  EXPECT_EQ(desk.LayerAt(1, 1, false, false), -1);
}

TEST_F(DeskStack, CtrlOnATransparentPartKeepsTheSelection) {
  Add(10, 10, 0xFF0000FF);
  TLayer& clear = Add(10, 10, 0x00000000);
  desk.SelectLayer(desk.IndexOfLayer(&clear));
  EXPECT_EQ(desk.LayerAt(3, 3, true, false), 0);
  EXPECT_EQ(desk.LayerAt(3, 3, false, false), 1);
  EXPECT_EQ(desk.LayerAt(11, 3, true, false), -1);
}

TEST_F(DeskStack, CyclingWalksDownTheOverlappingLayersAndWraps) {
  for (int i = 0; i < 3; ++i) Add(10, 10, 0xFF112233);
  Add(3, 3, 0xFF000000, 20, 20);  // elsewhere; never hit
  // Stack: [small, l2, l1, l0]; the three big ones overlap at (5, 5).
  EXPECT_EQ(desk.LayerAt(5, 5, false, true), 1);  // no selection: the first hit
  desk.SelectLayer(1);
  EXPECT_EQ(desk.LayerAt(5, 5, false, true), 2);
  desk.SelectLayer(2);
  EXPECT_EQ(desk.LayerAt(5, 5, false, true), 3);
  desk.SelectLayer(3);
  EXPECT_EQ(desk.LayerAt(5, 5, false, true), 1);  // wraps to the top
  desk.SelectLayer(0);
  EXPECT_EQ(desk.LayerAt(21, 21, false, true), 0);  // the selected one itself, by wrapping
}

TEST_F(DeskStack, HitTestCopesWithMoreThanAThousandLayers) {
  // Layer i sits at (i % 50, 0) and ends at index 1099 - i.
  for (int i = 0; i < 1100; ++i) Add(1, 1, 0xFF000000, i % 50, 0);
  EXPECT_EQ(desk.LayerAt(0, 0, false, false), 49);
  desk.SelectLayer(49);
  EXPECT_EQ(desk.LayerAt(0, 0, false, true), 99);
  desk.SelectLayer(1099);
  EXPECT_EQ(desk.LayerAt(0, 0, false, true), 49);
}

TEST_F(DeskStack, PopupShowsWhatTheLayerAllows) {
  TLayer& bottom = Add(4, 4, 0xFF000000);
  Add(4, 4, 0xFF000000);
  bottom.SourceFile = "Parts\\Hair\\h1.psd";
  owner.catalogPages = {"Parts\\Hair\\h1.psd"};
  desk.PopupLayerIndex = 1;
  TDeskPopupItems items = desk.PopupItems();
  EXPECT_EQ(items, (TDeskPopupItems{false, true, true, false, true, true}));
  desk.PopupLayerIndex = 0;
  EXPECT_EQ(desk.PopupItems(), (TDeskPopupItems{false, true, false, true, true, false}));
  desk.PopupLayerIndex = -1;
  EXPECT_EQ(desk.PopupItems(), TDeskPopupItems{});
  desk.PopupLayerIndex = 1;
  desk.PopupCommand(TDeskPopupAction::Hide);
  EXPECT_FALSE(bottom.Visible());
  EXPECT_EQ(desk.PopupItems().Show, true);
  desk.PopupCommand(TDeskPopupAction::ShowCatalog);
  EXPECT_EQ(owner.catalogShown, (std::vector<std::string>{"Parts\\Hair\\h1.psd"}));
  desk.PopupCommand(TDeskPopupAction::MoveTop);
  EXPECT_EQ(desk.IndexOfLayer(&bottom), 0);
  desk.PopupCommand(TDeskPopupAction::MoveBottom);  // the index is still 1: already last
  EXPECT_EQ(desk.IndexOfLayer(&bottom), 0);
  desk.PopupLayerIndex = 0;
  desk.PopupCommand(TDeskPopupAction::Delete);
  EXPECT_EQ(desk.LayerCount(), 1);
}

TEST_F(DeskStack, BasicToolSelectsOnPressAndCtrlClicksWalkDown) {
  for (int i = 0; i < 3; ++i) Add(10, 10, 0xFF112233);
  TDeskSelectTool tool(desk);
  auto click = [&](TPoint at, bool ctrl) {
    tool.MouseDown({TDeskButton::Left, true, false, ctrl, false, at});
    tool.MouseUp({TDeskButton::Left, false, false, ctrl, false, at});
  };
  click({5, 5}, false);
  EXPECT_EQ(desk.SelectedIndex(), 0);
  click({5, 5}, true);  // the press keeps the selection; the release walks down
  EXPECT_EQ(desk.SelectedIndex(), 1);
  click({5, 5}, true);
  EXPECT_EQ(desk.SelectedIndex(), 2);
  click({5, 5}, false);  // a plain press takes the top layer again
  EXPECT_EQ(desk.SelectedIndex(), 0);
  click({30, 20}, false);
  EXPECT_EQ(desk.SelectedIndex(), -1);
}

TEST_F(DeskStack, BasicToolOpensThePopupOnAStillRightClick) {
  Add(10, 10, 0xFF112233, 0, 0);
  Add(10, 10, 0xFF112233, 20, 0);
  TDeskSelectTool tool(desk);
  tool.MouseDown({TDeskButton::Right, true, false, false, false, {3, 3}});
  tool.MouseUp({TDeskButton::Right, false, false, false, false, {3, 3}});
  EXPECT_EQ(desk.PopupLayerIndex, 1);
  EXPECT_EQ(view.popups, (std::vector<TPoint>{{3, 3}}));
  EXPECT_EQ(desk.SelectedIndex(), -1);  // the right button does not select
  tool.MouseDown({TDeskButton::Right, true, false, false, false, {3, 3}});
  tool.MouseMove({TDeskButton::Right, true, false, false, false, {8, 3}});
  tool.MouseUp({TDeskButton::Right, false, false, false, false, {3, 3}});
  EXPECT_EQ(view.popups.size(), 1u);  // a drag is no click
}

TEST_F(DeskStack, ImageToDeskAndBackFollowTheScale) {
  TestDeskGeometry().DeskScale = 2.0;
  TestDeskGeometry().DeskViewLeft = 10;
  TestDeskGeometry().DeskViewTop = 20;
  EXPECT_EQ(desk.ImageToDesk({7, -3}), (TPoint{4, -2}));  // 3.5 and -1.5 round to even
  EXPECT_EQ(desk.DeskToCanvas({3, 4}), (TPoint{16, 28}));
}

}  // namespace
