#include "MainStateFixture.h"
#include "picture/Layer.h"

class MainStateZoomTest : public MainStateTest {
 protected:
  MainStateZoomTest() : MainStateTest(CentredDesk()) {}
  // 445 x 492 centred on 890 x 984.
  static TDeskGeometry CentredDesk() {
    TDeskGeometry geometry;
    geometry.UpdateDeskView();
    return geometry;
  }
};

TEST_F(MainStateZoomTest, ZoomMovesTheViewSendsTheZoomCodeAndSetsTheScrollSliders) {
  desk.Add().Render(state.DeskGeometry().ViewFrame());
  state.SetDeskScale(2.0);
  EXPECT_EQ(state.DeskGeometry().DeskViewWidth, 890);
  EXPECT_EQ(state.DeskGeometry().DeskViewHeight, 984);
  EXPECT_EQ(state.DeskGeometry().DeskViewLeft, 0);
  EXPECT_EQ(state.LastChange(), ckDeskScale);
  EXPECT_TRUE(state.Saved.Work);
  EXPECT_EQ(view.hpos.Min, 0);
  EXPECT_EQ(view.hpos.Max, 0);
  EXPECT_EQ(desk.recomposes, 1);

  state.SetDeskScale(1.0);
  EXPECT_EQ(view.hpos.Max, 445);
  EXPECT_EQ(view.vpos.Max, 492);
  EXPECT_EQ(view.hpos.Value, state.DeskGeometry().DeskViewLeft);
  const int recomposes = desk.recomposes;
  state.SetDeskScale(1.0);  // unchanged
  EXPECT_EQ(desk.recomposes, recomposes);
}

TEST_F(MainStateZoomTest, ScrollingTwiceReusesTheCacheAndAnyOtherChangeDropsIt) {
  TLayer& layer = desk.Add();
  layer.Left = 300;
  layer.Top = 300;
  layer.Render(state.DeskGeometry().ViewFrame());
  ASSERT_EQ(layer.ViewRendering().State, rsWhole);
  state.ScrollDesk(0, 0);
  EXPECT_EQ(desk.rebuilds, 1);
  EXPECT_EQ(layer.ViewRendering().Pos, (TPoint{300, 300}));
  EXPECT_EQ(state.LastChange(), ckScroll);
  state.ScrollDesk(10, 20);
  EXPECT_EQ(desk.rebuilds, 1);
  EXPECT_EQ(desk.placements, 1);
  EXPECT_EQ(desk.repaints, 2);
  EXPECT_EQ(layer.ViewRendering().Pos, (TPoint{290, 280}));
  EXPECT_TRUE(state.Saved.Work);

  state.SetChanged(ckPixels);
  EXPECT_FALSE(desk.viewBitmap);
  state.ScrollDesk(30, 20);
  EXPECT_EQ(desk.rebuilds, 2);
  state.ScrollDesk(30, 20);  // the same origin does nothing
  EXPECT_EQ(desk.placements, 0 + 1);
}

TEST_F(MainStateZoomTest, CentringTakesTheCanvasMiddleAndTheSlidersFollow) {
  state.ScrollDesk(0, 0);
  state.CentreDesk();
  EXPECT_EQ(state.DeskGeometry().DeskViewLeft, 222);
  EXPECT_EQ(state.DeskGeometry().DeskViewTop, 246);
  EXPECT_EQ(view.hpos.Value, 222);
  EXPECT_EQ(view.vpos.Value, 246);
  EXPECT_EQ(state.ScaleSliderMax(), 200);
}
