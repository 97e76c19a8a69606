// The detector client's own rules, with an in-process stand-in for the detector.
#include <gtest/gtest.h>

#include <functional>

#include "editor/EyeDetector.h"
#include "support/TestPaths.h"

namespace {

// Plays the detector: records the call and runs `Act` in place of the program.
class TFakeRunner : public IProcessRunner {
 public:
  std::function<TProcessResult(const std::vector<std::string>&)> Act = [](const auto&) {
    return TProcessResult{true, false, 0};
  };
  int Calls = 0;
  std::vector<std::string> Arguments;
  int TimeoutMs = 0;

  TProcessResult Run(const fs::path&, const std::vector<std::string>& arguments, int timeoutMs) override {
    ++Calls;
    Arguments = arguments;
    TimeoutMs = timeoutMs;
    return Act(arguments);
  }
};

TBitmap32 Picture(int width, int height) {
  TBitmap32 picture;
  picture.SetSize(width, height, Color32(200, 150, 100));
  return picture;
}

class EyeDetectorTest : public ::testing::Test {
 protected:
  // Makes the fake detector write `answer` as its ini and end normally.
  void Answer(const std::string& answer) {
    runner_.Act = [this, answer](const std::vector<std::string>&) {
      WriteTestFile(detector_.AnswerFile(), answer);
      return TProcessResult{true, false, 0};
    };
  }
  TempFolder folder_;
  TFakeRunner runner_;
  TEyeDetector detector_{runner_, "/opt/eyechecker", folder_ / "exchange"};
};

TEST_F(EyeDetectorTest, GoodAnswerIsReadInPicturePixels) {
  Answer("[Info]\nDetected=1\nLeftX1=70\nLeftY1=41\nRightX1=30\nRightY1=39\n");
  const auto eyes = detector_.Detect(Picture(100, 80));
  ASSERT_TRUE(eyes);
  EXPECT_EQ(*eyes, (TEyeAnswer{70, 41, 30, 39}));
  // The picture is named alone on the command line, and the run is bounded.
  ASSERT_EQ(runner_.Arguments.size(), 1u);
  EXPECT_EQ(fs::path(runner_.Arguments[0]), folder_ / "exchange" / "eyesdetect.bmp");
  EXPECT_EQ(runner_.TimeoutMs, 20000);
}

TEST_F(EyeDetectorTest, AnswerWithoutRightYUsesTheLeftEyesHeight) {
  Answer("[info]\ndetected=1\nLeftX1=70\nLeftY1=41\nRightX1=30\n");
  EXPECT_EQ(detector_.Detect(Picture(100, 80)), (TEyeAnswer{70, 41, 30, 41}));
}

TEST_F(EyeDetectorTest, AnswersThatCannotBeUsedAreRefused) {
  const char* refused[] = {
      "[Info]\nDetected=0\n",
      "[Info]\nDetected=2\nLeftX1=70\nLeftY1=41\nRightX1=30\n",
      "[Info]\nDetected=1\nLeftY1=41\nRightX1=30\n",                   // a key missing
      "[Info]\nDetected=1\nLeftX1=seventy\nLeftY1=41\nRightX1=30\n",   // not a number
      "[Info]\nDetected=1\nLeftX1=30\nLeftY1=41\nRightX1=70\n",        // eyes reversed
      "[Info]\nDetected=1\nLeftX1=50\nLeftY1=41\nRightX1=50\n",        // one eye twice
      "[Info]\nDetected=1\nLeftX1=100\nLeftY1=41\nRightX1=30\n",       // past the last column
      "[Info]\nDetected=1\nLeftX1=70\nLeftY1=80\nRightX1=30\n",        // past the last row
      "[Info]\nDetected=1\nLeftX1=70\nLeftY1=40\nRightX1=-1\n",
      "[Info]\nDetected=1\nLeftX1=70\nLeftY1=40\nRightX1=30\nRightY1=-5\n",
      "[Other]\nDetected=1\nLeftX1=70\nLeftY1=40\nRightX1=30\n",
  };
  for (const char* answer : refused) {
    Answer(answer);
    EXPECT_FALSE(detector_.Detect(Picture(100, 80))) << answer;
  }
  // The last column and row themselves are inside.
  Answer("[Info]\nDetected=1\nLeftX1=99\nLeftY1=79\nRightX1=0\nRightY1=0\n");
  EXPECT_TRUE(detector_.Detect(Picture(100, 80)));
}

TEST_F(EyeDetectorTest, StaleAnswerIsGoneBeforeTheDetectorRuns) {
  Answer("[Info]\nDetected=1\nLeftX1=70\nLeftY1=41\nRightX1=30\n");
  ASSERT_TRUE(detector_.Detect(Picture(100, 80)));
  // A detector that dies without answering must not revive the previous answer.
  bool answerSeen = true;
  runner_.Act = [&](const std::vector<std::string>&) {
    answerSeen = fs::exists(detector_.AnswerFile());
    return TProcessResult{true, false, 1};
  };
  EXPECT_FALSE(detector_.Detect(Picture(100, 80)));
  EXPECT_FALSE(answerSeen);
}

TEST_F(EyeDetectorTest, HungOrMissingDetectorGivesNoAnswer) {
  // An answer written before the kill does not count.
  runner_.Act = [this](const std::vector<std::string>&) {
    WriteTestFile(detector_.AnswerFile(), "[Info]\nDetected=1\nLeftX1=70\nLeftY1=41\nRightX1=30\n");
    return TProcessResult{true, true, -1};
  };
  EXPECT_FALSE(detector_.Detect(Picture(100, 80)));
  EXPECT_TRUE(detector_.LastRun().TimedOut);

  runner_.Act = [](const std::vector<std::string>&) { return TProcessResult{false, false, -1}; };
  EXPECT_FALSE(detector_.Detect(Picture(100, 80)));
  EXPECT_FALSE(detector_.LastRun().Started);
}

TEST_F(EyeDetectorTest, EmptyPictureIsNeverHandedOver) {
  EXPECT_FALSE(detector_.Detect(TBitmap32()));
  EXPECT_EQ(runner_.Calls, 0);
}

TEST_F(EyeDetectorTest, RemoveFilesDeletesBothExchangeFiles) {
  Answer("[Info]\nDetected=0\n");
  detector_.Detect(Picture(10, 10));
  ASSERT_TRUE(fs::exists(detector_.BitmapFile()));
  ASSERT_TRUE(fs::exists(detector_.AnswerFile()));
  detector_.RemoveFiles();
  EXPECT_FALSE(fs::exists(detector_.BitmapFile()));
  EXPECT_FALSE(fs::exists(detector_.AnswerFile()));
}

}  // namespace
