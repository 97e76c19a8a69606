#include <gtest/gtest.h>

#include <QCameraDevice>
#include <QClipboard>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QMimeData>

#include "exchange/forms/ClipboardPicture.h"
#include "platform/qt/QtCaptureDevice.h"

namespace {

TEST(ClipboardPicture, CopiedPicturesComeBackOpaqueAndTextIsNoPicture) {
  TBitmap32 picture(5, 3, Color32(10, 20, 30, 0));
  picture.SetPixel(4, 2, Color32(200, 100, 50, 128));
  SetClipboardPicture(picture);
  const auto back = ClipboardPicture();
  ASSERT_TRUE(back);
  ASSERT_EQ(back->Width(), 5);
  ASSERT_EQ(back->Height(), 3);
  // 24 bits: the colour goes over unchanged and the alpha is not copied.
  EXPECT_EQ(back->Pixel(0, 0), Color32(10, 20, 30));
  EXPECT_EQ(back->Pixel(4, 2), Color32(200, 100, 50));

  QGuiApplication::clipboard()->setText("not a picture");
  EXPECT_FALSE(ClipboardPicture());
}

TEST(CaptureDevice, WithoutACameraNothingConnects) {
  if (!QMediaDevices::videoInputs().isEmpty()) GTEST_SKIP() << "this machine has a camera";
  TQtCaptureDevice device;
  EXPECT_FALSE(device.Connect());
  EXPECT_FALSE(device.Connected());
}

}  // namespace
