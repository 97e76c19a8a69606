#include "MainStateFixture.h"
#include "editor/MainDeskTools.h"
#include "editor/TemplateBase.h"
#include "picture/Layer.h"
#include "platform/KeyCodes.h"
#include "support/PictureCompare.h"

TEST_F(MainStateTest, ViewCodesLeaveTheSavedFlagsAndEveryOtherCodeClearsThem) {
  state.SetChanged(ckDeskScale);
  state.SetChanged(ckScroll);
  EXPECT_TRUE(state.Saved.Work);
  EXPECT_TRUE(state.Saved.Image);
  for (TChangeKind code : {ckNewWork, ckWorkLoaded, ckLayerAdded, ckLayerDeleted, ckLayerMoved, ckLayerResized,
                            ckLayerRotated, ckVisibility, ckStackOrder, ckPixels, ckLayerUndo, ckLayerReset}) {
    state.Saved = {};
    state.SetChanged(code);
    EXPECT_FALSE(state.Saved.Work) << int(code);
    EXPECT_FALSE(state.Saved.Image) << int(code);
  }
  state.SetChanged(ckPixels);
  state.SetChanged(ckDeskScale);
  EXPECT_FALSE(state.Saved.Work);
  EXPECT_EQ(state.LastChange(), ckDeskScale);
}

TEST_F(MainStateTest, OnlyLeavingTheScrollCodeDropsTheViewCache) {
  desk.viewBitmap = true;
  state.SetChanged(ckScroll);
  state.SetChanged(ckScroll);
  EXPECT_TRUE(desk.viewBitmap);
  state.SetChanged(ckPixels);
  EXPECT_FALSE(desk.viewBitmap);
  desk.viewBitmap = true;  // a cache built under another code stays
  state.SetChanged(ckLayerMoved);
  EXPECT_TRUE(desk.viewBitmap);
}

TEST_F(MainStateTest, ASliderGestureRecordsOneHistoryItemHoweverFarItMoves) {
  TLayer& layer = desk.Add();
  desk.Select(0);
  state.ValueSliderPressed();
  for (int v : {55, 60, 70, 80, 65, 50}) view.Drag(vsRed, v);
  view.Drag(vsRed, 80);
  state.ValueSliderReleased();
  EXPECT_EQ(layer.History().size(), 1u);
  EXPECT_EQ(layer.Red(), 80);
  EXPECT_EQ(desk.changes.back(), ckPixels);

  state.ValueSliderPressed();
  view.Drag(vsOpacity, 40);
  state.ValueSliderReleased();
  EXPECT_EQ(layer.History().size(), 2u);
  EXPECT_EQ(layer.Opacity(), 40);
  layer.Undo();
  layer.Undo();
  EXPECT_EQ(layer.Red(), 50);
  EXPECT_EQ(layer.Opacity(), 100);
}

TEST_F(MainStateTest, WithACurrentRegionTheSlidersChangeTheRegionOnly) {
  TLayer& layer = desk.Add();
  desk.Select(0);
  layer.Mask.SetRegionIndex(3);
  state.ValueSliderPressed();
  view.Drag(vsHue, 150);
  view.Drag(vsHue, 160);
  state.ValueSliderReleased();
  EXPECT_EQ(layer.Mask.GetRegionHue(3), 160);
  EXPECT_EQ(layer.Hue(), 100);
  ASSERT_EQ(layer.History().size(), 1u);
  EXPECT_EQ(layer.History().back()->RegionIndex, 3);
  EXPECT_FALSE(state.Saved.Work);
}

TEST_F(MainStateTest, LoadingTheSlidersNeverChangesTheLayer) {
  TLayer& first = desk.Add();
  TLayer& second = desk.Add();
  second.SetRed(90);
  second.SetOpacity(30);
  second.Mask.SetRegionIndex(2);
  TColorValues region;
  region.Hue = 20;
  second.Mask.SetRegionValues(2, region);
  const std::size_t changes = desk.changes.size();
  desk.Select(0);
  state.ShowLayerValues(first, nullptr);
  desk.Select(1);
  state.ShowLayerValues(second, nullptr);
  state.ShowLayerValues(second, &second.Mask);
  EXPECT_EQ(view.sliders[vsRed], 50);  // the region's values
  EXPECT_EQ(view.sliders[vsHue], 20);
  EXPECT_EQ(second.Red(), 90);
  EXPECT_EQ(second.Opacity(), 30);
  EXPECT_EQ(second.Mask.GetRegionHue(2), 20);
  EXPECT_TRUE(second.History().empty());
  EXPECT_EQ(desk.changes.size(), changes);

  second.Mask.SetRegionIndex(0);  // a mask without a current region shows nothing
  view.sliders[vsHue] = 77;
  state.ShowLayerValues(second, &second.Mask);
  EXPECT_EQ(view.sliders[vsHue], 77);
}

TEST_F(MainStateTest, CtrlArrowsMoveBySinglePixelsAndShiftByTenAsOneUndoStep) {
  TLayer& layer = desk.Add();
  layer.Left = 100;
  layer.Top = 200;
  desk.Select(0);
  for (int i = 0; i < 5; ++i) {
    int key = VK_RIGHT;
    state.KeyDown(key, ssCtrl);
    EXPECT_EQ(key, 0);
  }
  EXPECT_EQ(layer.Left, 105);
  EXPECT_EQ(layer.History().size(), 1u);
  int key = VK_UP;
  state.KeyDown(key, ssCtrl | ssShift);
  EXPECT_EQ(layer.Top, 190);
  EXPECT_EQ(layer.History().size(), 1u);
  EXPECT_FALSE(desk.undoPending);
  layer.Undo();
  EXPECT_EQ(layer.Left, 100);
  EXPECT_EQ(layer.Top, 200);

  // Another kind of step in between starts a new item.
  layer.SetRed(70);
  layer.SaveUndo(lhkColorValues, false);
  key = VK_LEFT;
  state.KeyDown(key, ssCtrl);
  EXPECT_EQ(layer.History().size(), 2u);
}

TEST_F(MainStateTest, ArrowsWithoutCtrlOrWithoutSelectionAreNotConsumed) {
  TLayer& layer = desk.Add();
  layer.Left = 10;
  int key = VK_RIGHT;
  state.KeyDown(key, ssCtrl);
  EXPECT_EQ(key, VK_RIGHT);
  desk.Select(0);
  state.KeyDown(key, ssShift);
  EXPECT_EQ(key, VK_RIGHT);
  EXPECT_EQ(layer.Left, 10);
}

TEST_F(MainStateTest, DeleteAndUndoKeysNeedTheirExactModifiers) {
  TLayer& layer = desk.Add();
  desk.Select(0);
  int key = VK_DELETE;
  state.KeyUp(key, ssShift);
  EXPECT_TRUE(desk.deleted.empty());
  state.KeyUp(key, 0);
  EXPECT_EQ(desk.deleted, std::vector<int>{0});

  layer.SetRed(70);
  state.ValueSliderPressed();
  view.Drag(vsRed, 80);
  key = 'Z';
  state.KeyUp(key, ssCtrl | ssShift);
  EXPECT_EQ(layer.Red(), 80);
  state.KeyUp(key, ssCtrl);
  EXPECT_EQ(layer.Red(), 70);
}

TEST_F(MainStateTest, ModifierKeysSetTheDeskCursorAndWinMMinimizes) {
  int key = VK_MENU;
  state.KeyDown(key, ssAlt);
  EXPECT_EQ(desk.cursor, crHandFlatAll);
  state.KeyUp(key, 0);
  EXPECT_EQ(desk.cursor, crDefault);
  key = VK_SHIFT;
  state.KeyDown(key, ssShift);  // not in the paint mode
  EXPECT_EQ(desk.cursor, crDefault);
  state.SetDeskMode(dmPaint);
  state.KeyDown(key, ssShift);
  EXPECT_EQ(desk.cursor, crPipette);
  state.KeyUp(key, 0);
  EXPECT_EQ(desk.cursor, crBrush);

  key = 'M';
  state.KeyDown(key, 0);
  EXPECT_FALSE(view.minimized);
  key = VK_LWIN;
  state.KeyDown(key, 0);
  key = 'M';
  state.KeyDown(key, 0);
  EXPECT_TRUE(view.minimized);
}

TEST_F(MainStateTest, ModeChangesManageTheWarpFieldAndRefreshThePaletteOnce) {
  desk.Add();
  state.ModeButtonClick("ButtonModifier");
  EXPECT_EQ(state.DeskMode(), dmModify);
  EXPECT_TRUE(desk.warpField);
  EXPECT_EQ(view.tips, std::vector<std::string>{"PanelLayerModifyMode"});
  const std::size_t plans = view.plans.size();
  state.SetDeskMode(dmModify);
  EXPECT_EQ(view.plans.size(), plans);
  state.ModeButtonClick("ButtonEraser");
  EXPECT_FALSE(desk.warpField);
  EXPECT_EQ(view.paletteRefreshes, 1);
  ASSERT_FALSE(view.plans.empty());
  EXPECT_TRUE(view.plans.back().ModePressed[4]);  // ButtonEraser
}

TEST_F(MainStateTest, ToolSizesAreRadiiOfAtLeastOne) {
  state.ToolSliderChanged(tsBrushSize, 1);
  EXPECT_EQ(state.BrushSize, 1);
  state.ToolSliderChanged(tsEraserSize, 51);
  EXPECT_EQ(state.EraserSize, 25);
  state.ToolSliderChanged(tsModifierPower, 73);
  EXPECT_EQ(state.ModifierPower, 73);
}

TEST_F(MainStateTest, FlipMirrorsPictureAndRegionsAndUndoMirrorsBoth) {
  TLayer& layer = desk.Add(4, 2);
  desk.Select(0);
  layer.Picture.SetPixel(0, 0, Color32(1, 2, 3, 255));
  layer.Mask.Map().At(0, 1) = 0x04;
  state.LayerFlipClick();
  EXPECT_EQ(layer.Picture.Pixel(3, 0), Color32(1, 2, 3, 255));
  EXPECT_EQ(layer.Mask.Map().At(3, 1), 0x04);
  EXPECT_EQ(layer.Mask.Map().At(0, 1), 0);
  EXPECT_EQ(layer.EditMode(), emFlip);
  layer.Undo();
  EXPECT_EQ(layer.Picture.Pixel(0, 0), Color32(1, 2, 3, 255));
  EXPECT_EQ(layer.Mask.Map().At(0, 1), 0x04);
}

TEST_F(MainStateTest, PortraitEditsAreOneUndoStepEachAndSurviveAResize) {
  TLayer& portrait = desk.Add(6, 4);
  portrait.Picture.SetPixel(1, 1, Color32(9, 8, 7, 128));
  const TBitmap32 original = portrait.Picture;
  TBitmap32 bald(6, 4, Color32(250, 200, 180));
  TBitmap32 calibrated(6, 4, Color32(252, 217, 188));

  state.PortraitEdited(portrait, lhkBaldHead, bald);
  EXPECT_EQ(state.LastChange(), ckPixels);
  state.PortraitEdited(portrait, lhkCalibration, calibrated);
  EXPECT_TRUE(SamePicture(portrait.Picture, calibrated));
  EXPECT_FALSE(state.PortraitEdited(portrait, lhkCalibration, TBitmap32(5, 4)));  // not the layer's size: refused
  EXPECT_TRUE(SamePicture(portrait.Picture, calibrated));
  ASSERT_EQ(portrait.History().size(), 2u);

  // A resize starts from the edited picture, not from the one before the edits.
  portrait.SetEditMode(emResize);
  EXPECT_TRUE(SamePicture(portrait.BasePicture, calibrated));
  portrait.Undo();
  EXPECT_TRUE(SamePicture(portrait.Picture, bald));
  portrait.Undo();
  EXPECT_TRUE(SamePicture(portrait.Picture, original));
}

TEST_F(MainStateTest, PasteStateWritesTheLayerValuesAsOneUndoStep) {
  TLayer& source = desk.Add();
  TLayer& target = desk.Add();
  source.SetColor(0x102030);
  source.SetBlue(10);
  source.SetOpacity(60);
  desk.Select(1);
  state.LayerPasteStateClick();  // nothing copied yet
  EXPECT_TRUE(target.History().empty());
  desk.Select(0);
  state.LayerCopyStateClick();
  desk.Select(1);
  state.LayerPasteStateClick();
  EXPECT_EQ(target.Values(), source.Values());
  EXPECT_EQ(view.sliders[vsBlue], 10);
  ASSERT_EQ(target.History().size(), 1u);
  target.Undo();
  EXPECT_TRUE(target.Values().IsNeutral());
}

TEST_F(MainStateTest, ClearWorkAsksPerKindPresent) {
  templates.Types = ParseTemplateTypes({"1=7;Dress;Dress;20;B;"});
  desk.Add().TypeId = 7;
  desk.Add().TypeId = 0;  // a face template
  view.answer = true;
  state.ClearWorkClick();
  EXPECT_EQ(view.questions,
            (std::vector<std::string>{"Remove every layer fitted to the face? (The portrait itself stays.)",
                                      "Remove every layer fitted to the figure? (The figure itself stays.)"}));
  EXPECT_EQ(desk.kindsDeleted, (std::vector<std::string>{"F", "B"}));
}

TEST_F(MainStateTest, LayerButtonsDoNothingWithoutASelection) {
  TLayer& layer = desk.Add();
  layer.SetRed(70);
  layer.SaveUndo(lhkColorValues, false);
  state.LayerMoveTopClick();
  state.LayerMoveBottomClick();
  state.LayerDeleteClick();
  state.LayerUndoClick();
  state.LayerFlipClick();
  EXPECT_TRUE(desk.moves.empty());
  EXPECT_TRUE(desk.deleted.empty());
  EXPECT_EQ(layer.History().size(), 1u);

  desk.Add();
  desk.Select(0);
  state.LayerMoveTopClick();  // already on top
  state.LayerMoveBottomClick();
  EXPECT_EQ(desk.moves, (std::vector<std::pair<int, int>>{{0, 1}}));
}

TEST(SliderHintTest, ShowsTheValueAsTheUserReadsIt) {
  EXPECT_EQ(SliderHint("SliderRedColor", "Red", 50), "Red (+0%)");
  EXPECT_EQ(SliderHint("SliderBlueColor", "Blue", 40), "Blue (-20%)");
  EXPECT_EQ(SliderHint("SliderHue", "Hue", 0), "Hue (-100%)");
  EXPECT_EQ(SliderHint("SliderContrast", "Contrast", 200), "Contrast (+100%)");
  EXPECT_EQ(SliderHint("SliderOpacity", "Opacity", 35), "Opacity (35%)");
  EXPECT_EQ(SliderHint("SliderScale", "Scale", 100), "Scale 1:1");
  EXPECT_EQ(SliderHint("SliderScale", "Scale", 150), "Scale 1:1.5");
  EXPECT_EQ(SliderHint("SliderScale", "Scale", 205), "Scale 1:2.05");
}

// A press on the desk asks for the desk's tip: the main window passes it on.
TEST_F(MainStateTest, TheDeskToolsTipReachesTheMainWindow) {
  TMainDeskTools tools(state);
  tools.ShowTip("FormMontage");
  EXPECT_EQ(view.tips, std::vector<std::string>{"FormMontage"});
}
