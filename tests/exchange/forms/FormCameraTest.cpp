// The camera window on the fake capture device, opened from the load-and-save
// window's camera button as the program does.
#include "exchange/forms/FormCamera.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QTimer>

#include "editor/SourcePicture.h"
#include "editor/forms/FormAdjust.h"
#include "exchange/forms/FormLoadSave.h"
#include "shell/MainSettings.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/StandingForms.h"
#include "support/FakeAdjustHost.h"
#include "support/FakeCaptureDevice.h"
#include "support/PictureCompare.h"
#include "support/qt/MessageAnswer.h"

namespace {

const TCaptureFormat k160{160, 120}, k640{640, 480};

// Runs `step` once the next modal loop (a dialog) is running.
void Soon(std::function<void()> step) { QTimer::singleShot(0, qApp, std::move(step)); }

// No skins are installed here: their warnings are not shown.
void NoSkinWarnings() {
  SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
}

TEST(FormCameraButton, IsHiddenUntilACameraWindowIsConnected) {
  NoSkinWarnings();
  TMainSettings settings;
  TFormLoadSave form(settings);
  form.show();
  EXPECT_FALSE(form.ButtonLoadCamera->isVisible());
  form.close();
  form.ConnectCamera = [] { return false; };
  form.RunCameraWindow = [] {};
  form.show();
  EXPECT_TRUE(form.ButtonLoadCamera->isVisible());
  form.close();
  SetMessagePresenter({});
}

class FormCameraTest : public ::testing::Test {
 protected:
  void SetUp() override {
    NoSkinWarnings();
    device_.inputs = {{"Front", true, {k160, {320, 240}, k640}}};
    camera_.Device = &device_;
    RegisterFormAdjust(adjustHost_);
    ConnectFormCamera();
    loadSave_.show();
  }
  void TearDown() override {
    loadSave_.close();
    camera_.close();
    delete FormAdjust;  // made over this test's host
    ClearStandingForms();
    SetMessagePresenter({});
  }
  // The adjust window holds a picture from before, closed.
  void HandAdjustWindowAPicture() {
    ShowFormAdjust({TBitmap32(4, 4, Color32(9, 9, 9))});
    ASSERT_NE(FormAdjust, nullptr);
    FormAdjust->close();
  }
  void ExpectAdjustWindowKeptItsPicture() {
    EXPECT_FALSE(FormAdjust->isVisible());
    EXPECT_TRUE(SamePicture(FormAdjust->Source().Picture, TBitmap32(4, 4, Color32(9, 9, 9))));
  }
  // Runs `step` once the camera window is up and previewing. "Visible" alone comes
  // too early: without skins, showing puts up an error box that lets events run
  // before the window starts its preview.
  void WhenPreviewing(std::function<void()> step) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [this, poll, step = std::move(step)] {
      if (!camera_.isVisible() || !device_.preview) return;
      poll->deleteLater();
      poll->stop();
      step();
    });
    poll->start(10);
  }
  // Answers the next message box once it is up, remembering its text.
  void AnswerMessage() { AnswerNextMessage(message_); }

  TMainSettings settings_;
  FakeAdjustHost adjustHost_;
  TFakeCaptureDevice device_;
  TFormLoadSave loadSave_{settings_};
  TFormCamera camera_;
  std::string message_;
};

TEST_F(FormCameraTest, TheSnapshotBecomesTheSourcePictureWithoutTouchingTheClipboard) {
  ASSERT_TRUE(loadSave_.ButtonLoadCamera->isVisible());
  QGuiApplication::clipboard()->setText("the user's own text");
  bool sawPreview = false;
  WhenPreviewing([&] {
    ASSERT_TRUE(camera_.isVisible());
    ASSERT_FALSE(loadSave_.isVisible());
    EXPECT_EQ(device_.format, k160);
    EXPECT_TRUE(camera_.ButtonSnapshot->isEnabled());
    EXPECT_FALSE(camera_.ButtonVideoSource->isEnabled());  // one camera only
    for (int i = 0; i < 3; ++i) device_.EmitFrame();
    EXPECT_EQ(camera_.CaptureWindow->Frames(), 3);
    // What the preview area shows on screen is the camera's picture.
    const QImage shown = camera_.CaptureWindow->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(160, 120));
    const QRgb middle = shown.pixel(80, 60);
    EXPECT_NEAR(qRed(middle), RedOf(FakeFramePixel(80, 60, 160, 120)), 2);
    EXPECT_NEAR(qGreen(middle), GreenOf(FakeFramePixel(80, 60, 160, 120)), 2);
    sawPreview = true;
    camera_.ButtonSnapshot->OnClick();
  });
  loadSave_.ButtonLoadCameraClick();

  EXPECT_TRUE(sawPreview);
  EXPECT_FALSE(camera_.isVisible());
  EXPECT_FALSE(device_.Connected());  // closing disconnects
  ASSERT_NE(FormAdjust, nullptr);
  EXPECT_TRUE(FormAdjust->isVisible());
  EXPECT_TRUE(SamePicture(FormAdjust->Source().Picture, OpaqueFakeFrame(640, 480)));
  EXPECT_FALSE(FormAdjust->Source().HasAlpha);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "the user's own text");
}

TEST_F(FormCameraTest, WithoutACameraTheUserIsToldAndTheLoadWindowStays) {
  device_.inputs.clear();
  AnswerMessage();
  loadSave_.ButtonLoadCameraClick();
  EXPECT_FALSE(message_.empty());
  EXPECT_TRUE(loadSave_.isVisible());
  EXPECT_FALSE(camera_.isVisible());
}

TEST_F(FormCameraTest, TheSizeDialogChoosesTheCameraSizeAndExitLeavesTheSourceAlone) {
  HandAdjustWindowAPicture();
  std::string offered;
  WhenPreviewing([&] {
    Soon([&] {
      auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      offered = dialog->comboBoxItems().join(", ").toStdString();
      dialog->setTextValue("640 x 480");
      dialog->accept();
    });
    camera_.ButtonVideoFormat->OnClick();
    EXPECT_EQ(device_.format, k640);
    camera_.ButtonExit->OnClick();
  });
  loadSave_.ButtonLoadCameraClick();
  EXPECT_EQ(offered, "160 x 120, 320 x 240, 640 x 480");
  EXPECT_FALSE(camera_.isVisible());
  EXPECT_FALSE(device_.Connected());
  ExpectAdjustWindowKeptItsPicture();
}

TEST_F(FormCameraTest, ACameraPulledOutMidPreviewIsToldAndTheWindowCloses) {
  HandAdjustWindowAPicture();
  WhenPreviewing([&] {
    device_.EmitFrame();
    AnswerMessage();
    device_.Vanish();
  });
  loadSave_.ButtonLoadCameraClick();
  EXPECT_EQ(message_, "The camera was disconnected.");
  EXPECT_FALSE(camera_.isVisible());
  EXPECT_TRUE(camera_.CaptureWindow->Picture().Empty());
  ExpectAdjustWindowKeptItsPicture();
  // The next use connects anew.
  device_.inputs = {{"Front", true, {k160}}};
  WhenPreviewing([&] { camera_.ButtonExit->OnClick(); });
  loadSave_.show();
  loadSave_.ButtonLoadCameraClick();
  EXPECT_EQ(device_.calls.back(), "disconnect");
  EXPECT_NE(std::find(device_.calls.begin(), device_.calls.end(), "preview:on"), device_.calls.end());
}

}  // namespace
