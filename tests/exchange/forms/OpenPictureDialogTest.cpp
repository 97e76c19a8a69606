// The open-picture dialog's panel: size caption, preview drawing, the preview
// button and window, and its filter.
#include "exchange/forms/OpenPictureDialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include "exchange/PicturePreview.h"
#include "picture/Lead.h"
#include "picture/forms/BitmapImage.h"
#include "platform/qt/FileDialogFilters.h"
#include "support/TestPaths.h"

namespace {

TEST(OpenPictureDialog, ASelectedPictureShowsItsSizeAndSitsCentredInThePreview) {
  TempFolder dir;
  ASSERT_TRUE(SaveImageFile(TBitmap32(33, 17, Color32(200, 30, 40)), dir / "small.png", kLeadPng));
  WriteTestFile(dir / "broken.png", "no picture");
  TPelmoOpenPictureDialog dialog;
  dialog.SelectionChanged(QString::fromStdString((dir / "small.png").string()));
  EXPECT_EQ(dialog.PictureLabel->text(), " (33x17)");
  EXPECT_TRUE(dialog.PreviewButton->isEnabled());

  const QImage shown = dialog.PaintBox->grab().toImage();
  const int left = (shown.width() - 33) / 2, top = (shown.height() - 17) / 2;
  EXPECT_EQ(QColor(shown.pixel(left + 1, top + 1)), QColor(200, 30, 40));
  EXPECT_EQ(QColor(shown.pixel(left + 31, top + 15)), QColor(200, 30, 40));
  EXPECT_NE(QColor(shown.pixel(left - 2, top + 8)), QColor(200, 30, 40));
  EXPECT_NE(QColor(shown.pixel(left + 8, top + 19)), QColor(200, 30, 40));

  // The preview window shows the picture at its size plus the frames.
  int imageWidth = -1;
  QTimer::singleShot(0, [&] {
    QWidget* window = dialog.findChild<QWidget*>("PreviewForm");
    if (auto* image = window ? window->findChild<QLabel*>("Image") : nullptr) imageWidth = image->width();
    if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
  });
  dialog.PreviewButton->click();
  EXPECT_GE(imageWidth, 33);
  EXPECT_LE(imageWidth, 45);

  for (const fs::path& bad : {dir / "broken.png", dir / "missing.png", dir.Path()}) {
    dialog.SelectionChanged(QString::fromStdString((dir / "small.png").string()));
    dialog.SelectionChanged(QString::fromStdString(bad.string()));
    EXPECT_EQ(dialog.PictureLabel->text(), "Picture:") << bad;
    EXPECT_FALSE(dialog.PreviewButton->isEnabled()) << bad;
    EXPECT_TRUE(dialog.Picture().Empty()) << bad;
  }
}

TEST(OpenPictureDialog, TheFirstFilterEntryTakesPhotoshopFilesEvenWithoutADot) {
  const QStringList filters = QtNameFilterList(DefaultPictureFilter());
  ASSERT_FALSE(filters.isEmpty());
  const QString first = filters.front();
  const QStringList masks = first.mid(first.indexOf('(') + 1).chopped(1).split(' ');
  auto matches = [&](const QString& name) {
    for (const QString& mask : masks)
      if (QDir::match(mask, name)) return true;
    return false;
  };
  EXPECT_TRUE(matches("portrait.psd"));
  EXPECT_TRUE(matches("portraitpsd"));
  EXPECT_TRUE(matches("photo.JPG"));
  EXPECT_FALSE(matches("notes.txt"));
  EXPECT_TRUE(filters.back().contains("*.psd")) << filters.back().toStdString();
}

}  // namespace
