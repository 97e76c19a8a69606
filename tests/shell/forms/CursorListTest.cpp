// The program's cursor pictures as the generator leaves them in the installation
// folder, and the screen's cursor list that loads them.
#include <gtest/gtest.h>
#include <link.h>

#include <QByteArray>
#include <QImage>
#include <QWidget>
#include <algorithm>
#include <set>

#include "picture/forms/BitmapImage.h"
#include "platform/Paths.h"
#include "shell/forms/CursorList.h"
#include "support/PictureCompare.h"
#include "support/TestPaths.h"

namespace {

fs::path InstallDir() { return BuildDir() / "Tressary"; }

QImage CursorPicture(const fs::path& installDir, const TProgramCursor& spec) {
  return QImage(QString::fromStdString(ResolvePath(installDir, ProgramCursorFile(spec)).string()));
}

TEST(ProgramCursors, EveryNumberHasItsOwnPictureWithTheHotSpotOnIt) {
  std::set<QByteArray> pictures;
  for (int number = 100; number <= 118; ++number) {
    const TProgramCursor* spec = FindProgramCursor(number);
    if (number == 100 || number == 106 || number == 118) {
      EXPECT_EQ(spec, nullptr) << number;
      continue;
    }
    ASSERT_NE(spec, nullptr) << number;
    const QImage picture = CursorPicture(InstallDir(), *spec).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(picture.size(), QSize(kCursorSide, kCursorSide)) << spec->Name;
    int clear = 0, solid = 0;
    for (int y = 0; y < picture.height(); ++y)
      for (int x = 0; x < picture.width(); ++x) {
        const int alpha = qAlpha(picture.pixel(x, y));
        clear += alpha == 0;
        solid += alpha >= 200;
      }
    EXPECT_GT(clear, 100) << spec->Name;
    EXPECT_GT(solid, 30) << spec->Name;
    // The point that clicks is on the drawing, not in the air beside it.
    ASSERT_TRUE(picture.rect().contains(spec->HotX, spec->HotY)) << spec->Name;
    int nearHotSpot = 0;
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx)
        if (picture.rect().contains(spec->HotX + dx, spec->HotY + dy))
          nearHotSpot = std::max(nearHotSpot, qAlpha(picture.pixel(spec->HotX + dx, spec->HotY + dy)));
    EXPECT_GE(nearHotSpot, 128) << spec->Name;
    pictures.insert(QByteArray(reinterpret_cast<const char*>(picture.constBits()), int(picture.sizeInBytes())));
  }
  EXPECT_EQ(pictures.size(), kProgramCursors.size());
}

// How many of Qt's image format plugins this process has loaded.
int ImageFormatPluginsLoaded() {
  int count = 0;
  dl_iterate_phdr(
      [](dl_phdr_info* info, size_t, void* data) {
        if (info->dlpi_name && std::string_view(info->dlpi_name).find("/imageformats/") != std::string_view::npos)
          ++*static_cast<int*>(data);
        return 0;
      },
      &count);
  return count;
}

TEST(CursorList, AnswersEachPictureWithItsHotSpot) {
  // Loaded at the program's start: as PNG files, not by asking every plugin (none
  // when the test runs alone; no more than before when others loaded some).
  const int pluginsBefore = ImageFormatPluginsLoaded();
  TCursorList list;
  list.Load((InstallDir() / "").string());
  EXPECT_EQ(list.PictureCount(), int(kProgramCursors.size()));
  EXPECT_EQ(ImageFormatPluginsLoaded(), pluginsBefore);
  for (const TProgramCursor& spec : kProgramCursors) {
    const QCursor cursor = list.Cursor(spec.Number);
    EXPECT_EQ(cursor.shape(), Qt::BitmapCursor) << spec.Name;
    EXPECT_EQ(cursor.hotSpot(), QPoint(spec.HotX, spec.HotY)) << spec.Name;
    EXPECT_TRUE(SamePicture(BitmapFromImage(cursor.pixmap().toImage()),
                            BitmapFromImage(CursorPicture(InstallDir(), spec))))
        << spec.Name;
  }
}

TEST(CursorList, MissingUnreadableOrUnfitPicturesFallBackToStandardShapes) {
  TempFolder install;
  fs::copy(InstallDir() / "Cursors", install / "Cursors");
  fs::remove(install / "Cursors/handflat.png");
  WriteTestFile(install / "Cursors/handgrab.png", "\x89PNG\r\n\x1a\n not really");
  QImage small(8, 8, QImage::Format_ARGB32);  // too small for its hot spot (11, 3)
  small.fill(Qt::black);
  ASSERT_TRUE(small.save(QString::fromStdString((install / "Cursors/handpoint.png").string())));
  QImage huge(300, 300, QImage::Format_ARGB32);
  huge.fill(Qt::black);
  ASSERT_TRUE(huge.save(QString::fromStdString((install / "Cursors/rotate.png").string())));

  TCursorList list;
  EXPECT_EQ(list.Cursor(crEye).shape(), Qt::CrossCursor);  // nothing loaded yet
  list.Load(install.Path().string() + "/");
  EXPECT_EQ(list.PictureCount(), int(kProgramCursors.size()) - 4);
  EXPECT_EQ(list.Cursor(crHandFlat).shape(), Qt::OpenHandCursor);
  EXPECT_EQ(list.Cursor(crHandGrab).shape(), Qt::ClosedHandCursor);
  EXPECT_EQ(list.Cursor(crHandPoint).shape(), Qt::PointingHandCursor);
  EXPECT_EQ(list.Cursor(crRotate).shape(), Qt::SizeAllCursor);
  EXPECT_EQ(list.Cursor(crEye).shape(), Qt::BitmapCursor);
  // Standard numbers keep their shapes; numbers nobody knows get the arrow.
  EXPECT_EQ(list.Cursor(crHSplit).shape(), Qt::SplitHCursor);
  EXPECT_EQ(list.Cursor(crSizeNWSE).shape(), Qt::SizeFDiagCursor);
  EXPECT_EQ(list.Cursor(crNoDrop).shape(), Qt::ForbiddenCursor);
  for (int unknown : {106, int(crDefault), 999, -100}) EXPECT_EQ(list.Cursor(unknown).shape(), Qt::ArrowCursor) << unknown;

  list.Load((install / "no such folder").string() + "/");
  EXPECT_EQ(list.PictureCount(), 0);
  EXPECT_EQ(list.Cursor(crLasso).shape(), Qt::CrossCursor);
}

TEST(CursorList, WidgetsTakeTheProgramCursorAndTheDefaultHandsBackToTheParent) {
  ScreenCursors().Load((InstallDir() / "").string());
  QWidget parent;
  auto* child = new QWidget(&parent);
  SetProgramCursor(*child, crLasso);
  EXPECT_TRUE(child->testAttribute(Qt::WA_SetCursor));
  EXPECT_EQ(child->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(child->cursor().hotSpot(), QPoint(4, 28));
  SetProgramCursor(*child, crDefault);
  EXPECT_FALSE(child->testAttribute(Qt::WA_SetCursor));
}

}  // namespace
