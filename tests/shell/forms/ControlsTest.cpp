#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/Image.h"
#include "shell/forms/SkinnedForm.h"

TEST(CaptionBar, DoubleClickMaximisesOnlyWithAMaximiseIcon) {
  TSkinnedForm form("FormLayers");
  auto* bar = new TCaptionBar(&form);
  bar->setGeometry(0, 0, 100, 20);
  form.resize(200, 100);
  form.show();
  QTest::mouseDClick(bar, Qt::LeftButton);
  EXPECT_FALSE(form.isMaximized());
  form.setWindowFlag(Qt::WindowMaximizeButtonHint, true);
  form.show();
  QTest::mouseDClick(bar, Qt::LeftButton);
  EXPECT_TRUE(form.isMaximized());
  QTest::mouseDClick(bar, Qt::LeftButton);
  EXPECT_FALSE(form.isMaximized());
}

TEST(CaptionBar, DraggingMovesTheWindowByHandWithoutAWindowManager) {
  TSkinnedForm form("FormLayers");
  auto* bar = new TCaptionBar(&form);
  bar->setGeometry(0, 0, 100, 20);
  form.setGeometry(50, 60, 200, 100);
  form.show();
  QPoint start = form.pos();
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(40, 25), bar->mapToGlobal(QPointF(40, 25)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(bar, &move);
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, QPoint(40, 25));
  EXPECT_EQ(form.pos(), start + QPoint(30, 15));
}

TEST(DrawPanel, PaintsPlainTiledOrThroughOnPaint) {
  TDrawPanel panel;
  panel.resize(10, 6);
  QPalette p = panel.palette();
  p.setColor(QPalette::Window, QColor(10, 20, 30));
  panel.setPalette(p);
  EXPECT_EQ(panel.grab().toImage().pixelColor(5, 1), QColor(10, 20, 30));
  TBitmap32 tile(4, 4, Color32(200, 0, 0));
  tile.SetPixel(0, 0, Color32(0, 0, 200));
  panel.SetPicture(tile);
  QImage tiled = panel.grab().toImage();
  EXPECT_EQ(tiled.pixelColor(8, 4), QColor(0, 0, 200));  // tile (2, 1) begins here
  EXPECT_EQ(tiled.pixelColor(9, 5), QColor(200, 0, 0));
  panel.OnPaint = [](QPainter& painter) { painter.fillRect(0, 0, 10, 6, QColor(1, 2, 3)); };
  EXPECT_EQ(panel.grab().toImage().pixelColor(8, 4), QColor(1, 2, 3));
}

TEST(Image, APackedPictureShowsAsTheWholePictureDoesAndIsReadWhole) {
  // Repeated rows, apart and together, with alpha from clear to opaque.
  TBitmap32 picture(9, 7, 0);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 9; ++x)
      picture.SetPixel(x, y, Color32(std::uint8_t(25 * x), std::uint8_t(y % 3 * 90), 40, std::uint8_t(30 * x)));
  TImage whole, packed;
  for (TImage* image : {&whole, &packed}) image->resize(12, 9);
  whole.SetPicture(picture);
  packed.SetPackedPicture(picture);
  EXPECT_TRUE(packed.HasPicture());
  for (const QRect& part : {QRect(0, 0, 12, 9), QRect(2, 1, 4, 3), QRect(7, 5, 5, 4)})
    EXPECT_EQ(packed.grab(part).toImage(), whole.grab(part).toImage()) << part.x() << "," << part.y();
  EXPECT_EQ(packed.Picture(), picture);
  packed.SetPicture(TBitmap32());
  EXPECT_FALSE(packed.HasPicture());
}

TEST(EventControls, RightDoubleClickEnterLeaveAndOwnerDraw) {
  int rdbl = 0, enter = 0, leave = 0;
  TMyImage image;
  image.resize(20, 20);
  image.OnRDblClick = [&] { ++rdbl; };
  image.OnMouseEnter = [&] { ++enter; };
  image.OnMouseLeave = [&] { ++leave; };
  QTest::mouseDClick(&image, Qt::LeftButton);
  QTest::mouseDClick(&image, Qt::RightButton);
  EXPECT_EQ(rdbl, 1);
  QEnterEvent in(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
  QEvent out(QEvent::Leave);
  QApplication::sendEvent(&image, &in);
  QApplication::sendEvent(&image, &out);
  EXPECT_EQ(enter, 1);
  EXPECT_EQ(leave, 1);

  TMyListBox list;
  list.addItems({"a", "b"});
  list.resize(100, 100);
  std::vector<int> drawn;
  list.OnCNDrawItem = [&](TMyListBox& control, int index, const QRect& rect, int state, QPainter&) {
    EXPECT_EQ(&control, &list);
    EXPECT_EQ(state, 0);
    EXPECT_FALSE(rect.isEmpty());
    drawn.push_back(index);
  };
  list.show();
  list.grab();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
  int listRdbl = 0;
  list.OnRDblClick = [&] { ++listRdbl; };
  QTest::mouseDClick(list.viewport(), Qt::RightButton);
  EXPECT_EQ(listRdbl, 1);
}
