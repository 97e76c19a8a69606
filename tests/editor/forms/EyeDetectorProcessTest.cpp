// The detector client through QProcess against small detector scripts.
#include <gtest/gtest.h>

#include <chrono>
#include <sys/stat.h>

#include "editor/EyeDetector.h"
#include "platform/qt/QtProcessRunner.h"
#include "support/TestPaths.h"

namespace {

class EyeDetectorProcess : public ::testing::Test {
 protected:
  // A detector script whose body runs after it checked that it got one bitmap.
  fs::path Script(const std::string& body) {
    const fs::path path = folder_ / "bin" / "detector";
    WriteTestFile(path, "#!/bin/sh\n"
                        "[ $# -eq 1 ] || exit 5\n"
                        "[ \"$(head -c 2 \"$1\")\" = BM ] || exit 6\n"
                        "answer=\"$(dirname \"$1\")/lumbraeeyes.ini\"\n" +
                            body + "\n");
    chmod(path.c_str(), 0755);
    return path;
  }
  std::optional<TEyeAnswer> Run(const fs::path& program, int timeoutMs = 5000) {
    TEyeDetector detector(runner_, program, exchange_, timeoutMs);
    auto answer = detector.Detect(picture_);
    lastRun_ = detector.LastRun();
    return answer;
  }

  void SetUp() override { picture_.SetSize(120, 90, Color32(90, 90, 90)); }

  TempFolder folder_;
  // A space in the folder name: the path must reach the detector as one argument.
  fs::path exchange_ = folder_ / "private exchange";
  TQtProcessRunner runner_;
  TBitmap32 picture_;
  TProcessResult lastRun_;
};

TEST_F(EyeDetectorProcess, GoodAnswerComesBack) {
  const auto eyes = Run(Script("printf '[Info]\\nDetected=1\\nLeftX1=80\\nLeftY1=44\\nRightX1=35\\nRightY1=46\\n' "
                               "> \"$answer\""));
  ASSERT_TRUE(eyes) << "exit " << lastRun_.ExitCode;
  EXPECT_EQ(*eyes, (TEyeAnswer{80, 44, 35, 46}));
  EXPECT_EQ(lastRun_.ExitCode, 0);
}

TEST_F(EyeDetectorProcess, NoFaceMeansNoAnswer) {
  EXPECT_FALSE(Run(Script("printf '[Info]\\nDetected=0\\n' > \"$answer\"")));
  EXPECT_EQ(lastRun_.ExitCode, 0);
}

TEST_F(EyeDetectorProcess, ReversedEyesAreRefused) {
  EXPECT_FALSE(Run(Script("printf '[Info]\\nDetected=1\\nLeftX1=35\\nLeftY1=44\\nRightX1=80\\n' > \"$answer\"")));
  EXPECT_EQ(lastRun_.ExitCode, 0);
}

TEST_F(EyeDetectorProcess, HangingDetectorIsKilledAtTheTimeOut) {
  // It answers, then hangs: the answer of a killed detector is not used.
  const fs::path program = Script("printf '[Info]\\nDetected=1\\nLeftX1=80\\nLeftY1=44\\nRightX1=35\\n' > "
                                  "\"$answer\"\necho $$ > \"$(dirname \"$0\")/pid\"\nexec sleep 30");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(Run(program, 300));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(lastRun_.TimedOut);
  std::string pid;
  ASSERT_EQ(RunCommand("cat '" + (folder_ / "bin" / "pid").string() + "'", &pid), 0);
  pid.erase(pid.find_last_not_of("\n") + 1);
  std::string state;
  RunCommand("cat /proc/" + pid + "/stat 2>/dev/null", &state);
  EXPECT_EQ(state, "") << "the detector is still there";
}

TEST_F(EyeDetectorProcess, MissingDetectorLeavesNoAnswer) {
  EXPECT_FALSE(Run(folder_ / "bin" / "no-such-detector"));
  EXPECT_FALSE(lastRun_.Started);
}

TEST(QtProcessRunner, ReportsExitCodesAndCrashes) {
  TQtProcessRunner runner;
  const TProcessResult exited = runner.Run("/bin/sh", {"-c", "exit 7"}, 5000);
  EXPECT_TRUE(exited.Started);
  EXPECT_FALSE(exited.TimedOut);
  EXPECT_EQ(exited.ExitCode, 7);
  // Arguments are passed as they are, never through a shell.
  EXPECT_EQ(runner.Run("/bin/sh", {"-c", "[ \"$0\" = 'a b;c' ] && exit 3", "a b;c"}, 5000).ExitCode, 3);
  const TProcessResult crashed = runner.Run("/bin/sh", {"-c", "kill -9 $$"}, 5000);
  EXPECT_TRUE(crashed.Started);
  EXPECT_FALSE(crashed.TimedOut);
  EXPECT_EQ(crashed.ExitCode, -1);
}

}  // namespace
