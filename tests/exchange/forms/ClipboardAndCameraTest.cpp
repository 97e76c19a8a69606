#include <gtest/gtest.h>

#include <QCameraDevice>
#include <QClipboard>
#include <QCoreApplication>
#include <QElapsedTimer>
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
  EXPECT_TRUE(device.Inputs().empty());
  EXPECT_FALSE(device.Connect(0));
  EXPECT_FALSE(device.Connected());
  EXPECT_FALSE(device.GrabFrame());
}

// The multimedia library's camera against a real device: connects, offers sizes,
// delivers preview frames and grabs a frame in the size it was set to.
TEST(CaptureDevice, ARealCameraConnectsPreviewsAndGrabs) {
  if (QMediaDevices::videoInputs().isEmpty())
    GTEST_SKIP() << "no camera on this machine: the Qt Multimedia capture device is not exercised "
                    "(the camera window's behaviour is tested with the fake device)";
  TQtCaptureDevice device;
  int inputs = int(device.Inputs().size()), connected = -1;
  for (int i = 0; i < inputs && connected < 0; ++i)
    if (device.Connect(i)) connected = i;
  if (connected < 0) GTEST_SKIP() << "no camera here answers (in use by another program?): not exercised";
  const std::vector<TCaptureFormat> formats = device.Formats();
  ASSERT_FALSE(formats.empty());
  ASSERT_TRUE(device.SetFormat(formats.front()));
  int previews = 0;
  device.SetOnFrame([&](const TCaptureFrame& frame) {
    previews += frame.Bytes.size() == std::size_t(frame.Width) * frame.Height * 4;
  });
  device.SetPreviewRate(0);
  device.SetPreview(true);
  const auto frame = device.GrabFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->Width, formats.front().Width);
  EXPECT_EQ(frame->Height, formats.front().Height);
  QElapsedTimer waited;
  waited.start();
  while (previews == 0 && waited.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_GT(previews, 0);
  device.Disconnect();
  EXPECT_FALSE(device.Connected());
}

}  // namespace
