#include "exchange/LoadSaveController.h"

#include <gtest/gtest.h>

#include "picture/PictureFiles.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "support/PictureCompare.h"
#include "support/PictureJudges.h"

namespace {

// Records what the actions asked of the window, in order.
class FakeUi : public ILoadSaveUi {
 public:
  std::optional<fs::path> ChooseImageToOpen(const fs::path& folder, const std::vector<TFileFilter>&) override {
    calls.push_back("open " + folder.string());
    return openAnswer;
  }
  std::optional<fs::path> ChooseImageToSave(const fs::path& folder, const std::string& name,
                                            const std::vector<TFileFilter>&) override {
    calls.push_back("save " + folder.string() + " " + name);
    return saveAnswer;
  }
  std::optional<std::string> ChooseScanner(const std::vector<TScannerDevice>& devices) override {
    calls.push_back("scanners " + std::to_string(devices.size()));
    return devices.empty() ? std::nullopt : scannerAnswer;
  }
  void CloseWindow() override { calls.push_back("close"); }
  void SetBusy(bool busy) override { busyLevel += busy ? 1 : -1; }
  void ShowMessage(std::string_view key) override { calls.push_back("message " + std::string(key)); }
  void ShowText(const std::string& text) override { calls.push_back("text " + text); }
  void ShowAdjustWindow(TSourcePicture picture) override {
    calls.push_back("adjust");
    handed = std::move(picture);
  }
  std::optional<TBitmap32> ClipboardPicture() override { return clipboard; }
  void SetClipboardPicture(const TBitmap32& picture) override {
    clipboard = picture;
    calls.push_back("copy");
  }
  bool ConnectCamera() override { return camera; }
  void RunCameraWindow() override { calls.push_back("camera"); }
  void ImageSavedNow() override { calls.push_back("saved"); }

  std::vector<std::string> calls;
  std::optional<fs::path> openAnswer;
  std::optional<fs::path> saveAnswer;
  std::optional<std::string> scannerAnswer = "fake:0";
  std::optional<TBitmap32> clipboard;
  std::optional<TSourcePicture> handed;  // to the adjust window
  bool camera = false;
  int busyLevel = 0;
};

class FakeWork : public IWorkPicture {
 public:
  bool WorkIsEmpty() const override { return empty; }
  TBitmap32 TakeExportPicture() override { return picture; }
  bool empty = false;
  TBitmap32 picture = TestPicture(6, 4, false);
};

class FakeScanner : public IScanner {
 public:
  std::vector<TScannerDevice> Devices() override { return devices; }
  TScanResult Scan(const std::string& device, const std::vector<TScanOption>&) override {
    scanned = device;
    return result;
  }
  std::vector<TScannerDevice> devices = {{"fake:0", "Fake", "Flatbed", "flatbed scanner"}};
  TScanResult result;
  std::string scanned;
};

using Calls = std::vector<std::string>;

class LoadSaveActions : public ::testing::Test {
 protected:
  void SetUp() override { actions_.PictureName = &pictureName_; }
  void TearDown() override { EXPECT_EQ(ui_.busyLevel, 0) << "the busy cursor ends on every path"; }
  // The adjust window keeps what it held.
  void ExpectSourceKept() { EXPECT_FALSE(ui_.handed); }

  TempFolder dir_;
  FakeUi ui_;
  FakeWork work_;
  FakeScanner scanner_;
  TLoadSaveController actions_{ui_, work_, &scanner_};
  std::string pictureName_;  // the work files' own, in the program
};

TEST_F(LoadSaveActions, CancelledDialogsChangeNothing) {
  actions_.ImageOpenFolder = "/in";
  actions_.ImageSaveFolder = "/out";
  pictureName_ = "old";
  EXPECT_FALSE(actions_.LoadImage());
  EXPECT_FALSE(actions_.SaveImage());
  ui_.scannerAnswer.reset();
  EXPECT_FALSE(actions_.LoadScanner());
  EXPECT_EQ(ui_.calls, (Calls{"open /in", "save /out old", "scanners 1"}));
  EXPECT_EQ(actions_.ImageOpenFolder, "/in");
  EXPECT_EQ(actions_.ImageSaveFolder, "/out");
  EXPECT_EQ(pictureName_, "old");
  ExpectSourceKept();
}

TEST_F(LoadSaveActions, ALoadedFileClosesTheWindowAndOpensTheAdjustWindow) {
  const TBitmap32 picture = TestPicture(5, 4, true);
  ASSERT_TRUE(SavePsdFile(picture, dir_ / "Face.PSD"));
  ui_.openAnswer = dir_ / "Face.PSD";
  EXPECT_TRUE(actions_.LoadImage());
  EXPECT_EQ(ui_.calls, (Calls{"open ", "close", "adjust"}));
  ASSERT_TRUE(ui_.handed);
  EXPECT_TRUE(SamePicture(ui_.handed->Picture, picture));
  EXPECT_TRUE(ui_.handed->HasAlpha);
  EXPECT_EQ(actions_.ImageOpenFolder, dir_.Path());
}

TEST_F(LoadSaveActions, AFailedLoadKeepsTheWindowOpenWithThePreviousPicture) {
  WriteTestFile(dir_ / "bad.jpg", "no jpeg here");
  ui_.openAnswer = dir_ / "bad.jpg";
  EXPECT_FALSE(actions_.LoadImage());
  EXPECT_EQ(ui_.calls, (Calls{"open ", "text Unable to load the picture.\rbad.jpg: the file does not start like a JPEG picture"}));
  ExpectSourceKept();
  // The folder still moves, so a second try starts where the first one looked.
  EXPECT_EQ(actions_.ImageOpenFolder, dir_.Path());
}

TEST_F(LoadSaveActions, ClipboardPicturesComeInOpaqueAndAnEmptyClipboardIsTold) {
  EXPECT_FALSE(actions_.LoadClipboard());
  EXPECT_EQ(ui_.calls, (Calls{"message MessageClipboardIsEmpty"}));
  ExpectSourceKept();

  ui_.calls.clear();
  ui_.clipboard = TestPicture(4, 4, true);
  EXPECT_TRUE(actions_.LoadClipboard());
  EXPECT_EQ(ui_.calls, (Calls{"close", "adjust"}));
  ASSERT_TRUE(ui_.handed);
  EXPECT_FALSE(ui_.handed->HasAlpha);
  EXPECT_EQ(ui_.handed->Picture.Width(), 4);
  EXPECT_EQ(AlphaOf(ui_.handed->Picture.Pixel(1, 2)), 255);
}

TEST_F(LoadSaveActions, WithoutACameraTheButtonSaysSo) {
  EXPECT_FALSE(actions_.LoadCamera());
  EXPECT_EQ(ui_.calls, (Calls{"message MessageCameraNotFound"}));
  ui_.calls.clear();
  ui_.camera = true;
  EXPECT_TRUE(actions_.LoadCamera());
  EXPECT_EQ(ui_.calls, (Calls{"close", "camera"}));
}

TEST_F(LoadSaveActions, AScanGoesStraightToTheAdjustWindow) {
  scanner_.result = {TScanStatus::Scanned, {2, 1, true, {1, 2, 3, 4, 5, 6}}, ""};
  ui_.clipboard = TestPicture(9, 9, false);  // a stale clipboard is never read
  EXPECT_TRUE(actions_.LoadScanner());
  EXPECT_EQ(scanner_.scanned, "fake:0");
  EXPECT_EQ(ui_.calls, (Calls{"scanners 1", "close", "adjust"}));
  ASSERT_TRUE(ui_.handed);
  EXPECT_EQ(ui_.handed->Picture.Width(), 2);
  EXPECT_EQ(ui_.handed->Picture.Pixel(1, 0), Color32(4, 5, 6));
  EXPECT_FALSE(ui_.handed->HasAlpha);
}

TEST_F(LoadSaveActions, CancelledScansAreSilentAndFailedOnesTellWhy) {
  scanner_.result = {TScanStatus::Cancelled, {}, "Operation was cancelled"};
  EXPECT_TRUE(actions_.LoadScanner());
  EXPECT_EQ(ui_.calls, (Calls{"scanners 1", "close"}));
  scanner_.result = {TScanStatus::Failed, {}, "Document feeder jammed"};
  ui_.calls.clear();
  EXPECT_TRUE(actions_.LoadScanner());
  ASSERT_EQ(ui_.calls.size(), 3u);
  EXPECT_NE(ui_.calls[2].find("Document feeder jammed"), std::string::npos) << ui_.calls[2];
  ExpectSourceKept();

  // No devices: nothing to choose, nothing said; no scanner library: the same.
  scanner_.devices.clear();
  ui_.calls.clear();
  EXPECT_FALSE(actions_.LoadScanner());
  TLoadSaveController withoutLibrary(ui_, work_, nullptr);
  EXPECT_FALSE(withoutLibrary.LoadScanner());
  EXPECT_EQ(ui_.calls, (Calls{"scanners 0"}));
}

TEST_F(LoadSaveActions, SavingRemembersTheNameAndMarksThePictureSaved) {
  ui_.saveAnswer = dir_ / "Look one.png";
  EXPECT_TRUE(actions_.SaveImage());
  EXPECT_EQ(ui_.calls, (Calls{"save  ", "close", "saved"}));
  EXPECT_TRUE(fs::exists(dir_ / "Look one.png"));
  EXPECT_EQ(pictureName_, "Look one");
  EXPECT_EQ(actions_.ImageSaveFolder, dir_.Path());
}

TEST_F(LoadSaveActions, AFailedSaveIsToldWithTheFileAndWhyAndTheSavedStateStays) {
  ui_.saveAnswer = dir_ / "no such folder" / "w";
  EXPECT_TRUE(actions_.SaveImage());
  EXPECT_EQ(ui_.calls.back(),
            "text Unable to save the picture.\r" + (dir_ / "no such folder" / "w.bmp").string() + "\rThe folder does not exist.");
  EXPECT_EQ(std::count(ui_.calls.begin(), ui_.calls.end(), "saved"), 0);
}

TEST_F(LoadSaveActions, AnEmptyWorkIsNeitherSavedNorCopied) {
  work_.empty = true;
  EXPECT_FALSE(actions_.SaveImage());
  EXPECT_FALSE(actions_.SaveClipboard());
  EXPECT_EQ(ui_.calls, (Calls{"message MessageWorkIsEmpty", "message MessageWorkIsEmpty"}));
  EXPECT_FALSE(ui_.clipboard);
}

TEST_F(LoadSaveActions, CopyingPutsTheExportPictureOnTheClipboardWithoutMarkingItSaved) {
  EXPECT_TRUE(actions_.SaveClipboard());
  EXPECT_EQ(ui_.calls, (Calls{"close", "copy"}));
  EXPECT_TRUE(SamePicture(ui_.clipboard, work_.picture));
}

TEST_F(LoadSaveActions, APictureThatDoesNotLoadIsToldWhyInPlainWords) {
  const TBitmap32 picture = TBitmap32(40, 30, Color32(10, 200, 30));
  ASSERT_TRUE(SavePictureFile(picture, dir_ / "whole.jpg"));
  ASSERT_TRUE(SavePictureFile(picture, dir_ / "whole.png"));
  for (const std::string ext : {".jpg", ".png"}) ASSERT_TRUE(WriteCutCopy(dir_ / ("whole" + ext), dir_ / ("cut" + ext), 1, 2));
  WriteTestFile(dir_ / "empty.bmp", "");
  WriteTestFile(dir_ / "notes.xyz", "plain words");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"cut.jpg", "the file ends too early"},
      {"cut.png", "the file ends too early"},
      {"empty.bmp", "the file is empty"},
      {"notes.xyz", "the file is not a picture this program reads"},
      {"gone.png", "there is no such file"},
  };
  for (const auto& [name, reason] : cases) {
    ui_.calls.clear();
    ui_.openAnswer = dir_ / name;
    EXPECT_FALSE(actions_.LoadImage()) << name;
    EXPECT_EQ(ui_.calls.back(), "text Unable to load the picture.\r" + name + ": " + reason);
  }
  ExpectSourceKept();
}

TEST_F(LoadSaveActions, APhotoClaimingAHugeSizeOpensScaledAndOtherBombsAreRefusedBySize) {
  WritePngBomb(dir_ / "bomb.png", 9500, 9500);
  WriteJpegBomb(dir_ / "huge.jpg", 30000, 30000);  // too large even scaled
  for (const std::string name : {"bomb.png", "huge.jpg"}) {
    ui_.openAnswer = dir_ / name;
    EXPECT_FALSE(actions_.LoadImage());
    const std::string size = name == "bomb.png" ? "9500 x 9500" : "30000 x 30000";
    EXPECT_TRUE(ui_.calls.back().starts_with("text Unable to load the picture.\r" + name + ": the picture is " +
                                             size + " pixels, "))
        << ui_.calls.back();
  }
  ExpectSourceKept();

  WriteJpegBomb(dir_ / "bomb.jpg", kJpegBombWidth, kJpegBombHeight, TJpegScans::kBaseline);
  ui_.calls.clear();
  ui_.openAnswer = dir_ / "bomb.jpg";
  ASSERT_TRUE(actions_.LoadImage());
  EXPECT_EQ(Calls(ui_.calls.begin() + 1, ui_.calls.end()), (Calls{"close", "adjust"}));
  ASSERT_TRUE(ui_.handed);
  EXPECT_EQ(ui_.handed->Picture.Width(), kJpegBombWidth / 2);
  EXPECT_EQ(ui_.handed->Picture.Height(), kJpegBombHeight / 2);
}

TEST(LoadSaveMessages, EveryMessageTheActionsShowHasAnEnglishText) {
  for (const char* key : {"MessageUnableLoadImage", "MessageClipboardIsEmpty", "MessageCameraNotFound",
                          "MessageWorkIsEmpty", "MessageUnableSaveImage"})
    EXPECT_FALSE(LoadSaveMessageDefault(key).empty()) << key;
  EXPECT_EQ(LoadSaveMessageDefault("MessageCameraNotFound"), "Camera not found");
  EXPECT_TRUE(LoadSaveMessageDefault("MessageSomethingElse").empty());
}

TEST(ImageFilters, OpenListsEveryFormatFirstAndSaveOnlyTheSevenItWrites) {
  const auto open = ImageOpenFilters();
  ASSERT_EQ(open.size(), 12u);
  EXPECT_EQ(open.front().Patterns.size(), 11u);
  EXPECT_EQ(open[2], (TFileFilter{"JPEG image files (*.jpg, *.jpeg)", {"*.jpg", "*.jpeg"}}));
  EXPECT_EQ(open.back().Patterns, std::vector<std::string>{"*"});
  const auto save = ImageSaveFilters();
  ASSERT_EQ(save.size(), 7u);
  EXPECT_EQ(save[1].Patterns, std::vector<std::string>{"*.jpg"});
  EXPECT_EQ(save[6].Caption, "Portable Network Graphics (*.png)");
}

}  // namespace
