#include "exchange/CameraController.h"

#include <gtest/gtest.h>

#include "support/FakeCaptureDevice.h"
#include "support/PictureCompare.h"

namespace {

using Calls = std::vector<std::string>;

class FakeCameraUi : public ICameraUi {
 public:
  // "close", "handover", "message:<key>", "error:<id>:<text>"
  Calls events;
  TCameraButtons buttons{true, true, true, true};
  std::vector<TBitmap32> previews;
  std::vector<TBitmap32> handedOver;
  std::optional<int> inputChoice, formatChoice;
  int offeredCurrent = -2;

  void EnableButtons(const TCameraButtons& b) override { buttons = b; }
  void ShowPreview(const TBitmap32& frame) override { previews.push_back(frame); }
  std::optional<int> ChooseInput(const std::vector<std::string>&, int current) override {
    offeredCurrent = current;
    return inputChoice;
  }
  std::optional<int> ChooseFormat(const std::vector<TCaptureFormat>&, int current) override {
    offeredCurrent = current;
    return formatChoice;
  }
  void ShowDeviceError(int id, const std::string& text) override {
    events.push_back("error:" + std::to_string(id) + ":" + text);
  }
  void ShowMessage(std::string_view key) override { events.push_back("message:" + std::string(key)); }
  void CloseWindow() override { events.push_back("close"); }
  void HandOver(TBitmap32 snapshot) override {
    events.push_back("handover");
    handedOver.push_back(std::move(snapshot));
  }
};

const TCaptureFormat k160{160, 120}, k320{320, 240}, k640{640, 480}, k1280{1280, 720};

class CameraControllerTest : public ::testing::Test {
 protected:
  // One camera with the usual sizes, connected and shown.
  void ShowCamera(std::vector<TCaptureFormat> formats = {k160, k320, k640, k1280}) {
    device_.inputs = {{"Front", true, std::move(formats)}};
    ASSERT_TRUE(camera_.ConnectCamera());
    camera_.FormShow();
    device_.TakeCalls();
  }

  TFakeCaptureDevice device_;
  FakeCameraUi ui_;
  TCameraController camera_{ui_, device_};
};

TEST_F(CameraControllerTest, InputsAreTriedInOrderAndTheFirstThatAnswersWinsAmongTheFirstTen) {
  device_.inputs = {{"Broken", false, {k640}}, {"Second", true, {k640}}, {"Third", true, {k640}}};
  ASSERT_TRUE(camera_.ConnectCamera());
  EXPECT_EQ(camera_.DriverIndex(), 1);
  EXPECT_EQ(device_.calls, (Calls{"connect:0", "connect:1"}));

  // Connecting again starts over and drops the old connection first.
  device_.inputs[1].Answers = false;
  device_.TakeCalls();
  ASSERT_TRUE(camera_.ConnectCamera());
  EXPECT_EQ(camera_.DriverIndex(), 2);
  EXPECT_EQ(device_.calls.front(), "disconnect");

  // Only inputs 0 to 9 are tried; with none answering nothing stays connected.
  device_.inputs.assign(11, {"Mute", false, {k640}});
  device_.inputs[10].Answers = true;
  device_.TakeCalls();
  EXPECT_FALSE(camera_.ConnectCamera());
  EXPECT_EQ(camera_.DriverIndex(), -1);
  EXPECT_FALSE(device_.Connected());
  EXPECT_EQ(std::count_if(device_.calls.begin(), device_.calls.end(),
                          [](const std::string& c) { return c.starts_with("connect:"); }),
            10);
  EXPECT_EQ(device_.calls.back(), "connect:9");
}

TEST_F(CameraControllerTest, ShowingStartsAPreviewInTheSmallestSizeCoveringItAndFramesArrive) {
  device_.inputs = {{"Front", true, {k320, k640, k1280}}};
  ASSERT_TRUE(camera_.ConnectCamera());
  camera_.FormShow();
  EXPECT_EQ(device_.format, k320);  // no 160 x 120 here
  EXPECT_TRUE(device_.preview);
  EXPECT_EQ(device_.rate, 66);
  // One input and several sizes: no input to choose, a size to choose.
  EXPECT_EQ(ui_.buttons, (TCameraButtons{false, true, true, true}));

  ui_.previews.clear();
  ASSERT_TRUE(device_.EmitFrame());
  ASSERT_EQ(ui_.previews.size(), 1u);
  const TBitmap32& preview = ui_.previews[0];
  ASSERT_EQ(preview.Width(), 160);
  ASSERT_EQ(preview.Height(), 120);
  // Halved: preview pixel (x, y) is near frame pixel (2x, 2y), and opaque.
  EXPECT_NEAR(RedOf(preview.Pixel(80, 60)), RedOf(FakeFramePixel(160, 120, 320, 240)), 2);
  EXPECT_NEAR(GreenOf(preview.Pixel(80, 60)), GreenOf(FakeFramePixel(160, 120, 320, 240)), 2);
  EXPECT_EQ(AlphaOf(preview.Pixel(80, 60)), 255);

  // Two inputs, one size: the other way round; no camera at all: nothing enabled.
  TFakeCaptureDevice two;
  FakeCameraUi ui2;
  TCameraController camera2(ui2, two);
  two.inputs = {{"A", true, {k640}}, {"B", true, {k640}}};
  ASSERT_TRUE(camera2.ConnectCamera());
  camera2.FormShow();
  EXPECT_EQ(ui2.buttons, (TCameraButtons{true, false, true, true}));
  camera2.DisconnectCamera();
  camera2.FormShow();
  EXPECT_EQ(ui2.buttons, TCameraButtons{});
  EXPECT_FALSE(two.preview);
}

TEST_F(CameraControllerTest, TheSnapshotIs640x480FromTheCameraAndPutsFormatAndPreviewBack) {
  ShowCamera();
  ASSERT_EQ(device_.format, k160);
  camera_.ButtonSnapshotClick();
  EXPECT_EQ(device_.calls, (Calls{"preview:off", "format:640x480", "grab:640x480", "format:160x120", "preview:on"}));
  // The window goes before the picture is handed over (the adjust window opens then).
  EXPECT_EQ(ui_.events, (Calls{"close", "handover"}));
  ASSERT_EQ(ui_.handedOver.size(), 1u);
  const TBitmap32& shot = ui_.handedOver[0];
  EXPECT_TRUE(SamePicture(shot, OpaqueFakeFrame(640, 480)));
}

TEST_F(CameraControllerTest, ACameraWithout640x480GivesOneAnywayCutNotSquashed) {
  ShowCamera({k320, k1280});
  camera_.ButtonSnapshotClick();
  ASSERT_EQ(ui_.handedOver.size(), 1u);
  const TBitmap32& shot = ui_.handedOver[0];
  ASSERT_EQ(shot.Width(), 640);
  ASSERT_EQ(shot.Height(), 480);
  // Taken from the wide size (blue tells the width) and scaled to 853 x 480: the
  // left edge shows column 160 of 1280, the middle the middle, the full height.
  EXPECT_EQ(BlueOf(shot.Pixel(320, 240)), 128);
  EXPECT_NEAR(RedOf(shot.Pixel(0, 240)), 160 * 255 / 1279, 2);
  EXPECT_NEAR(RedOf(shot.Pixel(320, 240)), 127, 2);
  EXPECT_NEAR(GreenOf(shot.Pixel(320, 0)), 0, 2);
  EXPECT_NEAR(GreenOf(shot.Pixel(320, 479)), 255, 2);
  EXPECT_EQ(device_.format, k320);  // the preview size again
}

TEST_F(CameraControllerTest, EveryWayOutOfTheSnapshotLeavesThePreviewAsItWas) {
  ShowCamera();
  // A grab that brings nothing: told, preview and size back, the window stays.
  device_.grabFails = true;
  camera_.ButtonSnapshotClick();
  EXPECT_EQ(ui_.events, (Calls{"message:MessageCameraNoPicture"}));
  EXPECT_EQ(device_.format, k160);
  EXPECT_TRUE(device_.preview);
  EXPECT_TRUE(ui_.buttons.Snapshot);
  EXPECT_TRUE(ui_.handedOver.empty());

  // A grab already under way: nothing at all.
  device_.grabFails = false;
  device_.capturing = true;
  ui_.events.clear();
  device_.TakeCalls();
  camera_.ButtonSnapshotClick();
  EXPECT_TRUE(device_.calls.empty());
  EXPECT_TRUE(ui_.events.empty());
  device_.capturing = false;

  // With the preview turned off, it stays off after a snapshot that failed.
  camera_.ButtonVideoDisplayClick();
  ASSERT_FALSE(device_.preview);
  device_.grabFails = true;
  camera_.ButtonSnapshotClick();
  EXPECT_FALSE(device_.preview);
  EXPECT_EQ(device_.format, k160);
}

TEST_F(CameraControllerTest, ACameraThatGoesAwayIsToldAndTheWindowCloses) {
  ShowCamera();
  device_.Vanish();
  EXPECT_EQ(ui_.events, (Calls{"message:MessageCameraLost", "close"}));
  EXPECT_EQ(camera_.DriverIndex(), -1);
  EXPECT_EQ(ui_.buttons, TCameraButtons{});
  ASSERT_FALSE(ui_.previews.empty());
  EXPECT_TRUE(ui_.previews.back().Empty());

  // Going away in the middle of a snapshot: told once, nothing handed over and
  // nothing more asked of the device.
  ShowCamera();
  ui_.events.clear();
  device_.duringGrab = [this] { device_.Vanish(); };
  camera_.ButtonSnapshotClick();
  EXPECT_EQ(ui_.events, (Calls{"message:MessageCameraLost", "close"}));
  EXPECT_TRUE(ui_.handedOver.empty());
  EXPECT_EQ(device_.calls.back(), "grab:640x480");
}

TEST_F(CameraControllerTest, ChoosingASizeSticksThroughTheSnapshotAndChoosingAnInputReconnects) {
  ShowCamera();
  ui_.formatChoice = 1;  // 320 x 240
  camera_.ButtonVideoFormatClick();
  EXPECT_EQ(ui_.offeredCurrent, 0);  // 160 x 120 was current
  EXPECT_EQ(device_.format, k320);
  camera_.ButtonSnapshotClick();
  EXPECT_EQ(device_.format, k320);
  ui_.formatChoice.reset();  // cancelled
  camera_.ButtonVideoFormatClick();
  EXPECT_EQ(device_.format, k320);

  device_.inputs = {{"Front", true, {k160, k640}}, {"Back", true, {k320, k640}}, {"Dead", false, {k640}}};
  ASSERT_TRUE(camera_.ConnectCamera());
  camera_.FormShow();
  ui_.inputChoice = 1;
  camera_.ButtonVideoSourceClick();
  EXPECT_EQ(camera_.DriverIndex(), 1);
  EXPECT_EQ(device_.connected, 1);
  EXPECT_EQ(device_.format, k320);  // the preview started on the new input
  EXPECT_TRUE(device_.preview);

  // An input that does not answer: the old one comes back, and the user hears.
  ui_.events.clear();
  ui_.inputChoice = 2;
  camera_.ButtonVideoSourceClick();
  EXPECT_EQ(camera_.DriverIndex(), 1);
  EXPECT_EQ(device_.connected, 1);
  EXPECT_TRUE(device_.preview);
  EXPECT_EQ(ui_.events, (Calls{"message:MessageCameraNotFound"}));
}

TEST_F(CameraControllerTest, ThePreviewTurnsOffAndOnAndDeviceErrorsAreShownWithTheirNumber) {
  ShowCamera();
  camera_.ButtonVideoDisplayClick();
  EXPECT_FALSE(camera_.PreviewOn());
  EXPECT_TRUE(ui_.previews.back().Empty());
  EXPECT_FALSE(device_.EmitFrame());
  camera_.ButtonVideoDisplayClick();
  ui_.previews.clear();
  EXPECT_TRUE(device_.EmitFrame());
  EXPECT_EQ(ui_.previews.size(), 1u);

  device_.onError(7, "bus reset");
  device_.onError(0, "not an error");
  EXPECT_EQ(ui_.events, (Calls{"error:7:bus reset"}));
}

}  // namespace
