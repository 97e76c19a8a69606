// The detector program on real pictures: a frontal portrait that Debian ships with
// scikit-image (fetched as a package file, never installed) and plain pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <unistd.h>

#include "platform/IniFile.h"
#include "support/TestPaths.h"

namespace {

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

fs::path EyeChecker() { return BuildDir() / "Tressary" / "eyechecker"; }

// astronaut.png from the python3-skimage package, cached under the build folder.
// Empty with `reason` set when the package cannot be fetched here.
fs::path Astronaut(std::string& reason) {
  const fs::path cached = BuildDir() / "test-cache" / "astronaut.png";
  if (fs::exists(cached)) return cached;
  TempFolder work;
  const std::string fetch = "cd " + Quoted(work.Path()) + " && apt-get download python3-skimage >/dev/null 2>&1";
  if (RunCommand(fetch) != 0) {
    reason = "apt-get download python3-skimage failed (no package lists or no network)";
    return {};
  }
  const std::string unpack = "dpkg-deb -x " + Quoted(work.Path()) + "/python3-skimage_*.deb " + Quoted(work / "x");
  const fs::path png = work / "x/usr/lib/python3/dist-packages/skimage/data/astronaut.png";
  if (RunCommand(unpack) != 0 || !fs::exists(png)) {
    reason = "the python3-skimage package holds no astronaut.png";
    return {};
  }
  fs::create_directories(cached.parent_path());
  // Another test may be fetching at the same time: publish by rename.
  const fs::path partial = cached.string() + "." + std::to_string(getpid());
  fs::copy_file(png, partial);
  fs::rename(partial, cached);
  return cached;
}

// Converts any picture to a 24-bit bitmap with Pillow, after an optional Pillow
// operation on `im` (e.g. "im = ImageOps.mirror(im)").
void ToBmp(const fs::path& from, const fs::path& to, const std::string& operation = "") {
  const std::string script = "from PIL import Image, ImageOps; im = Image.open('" + from.string() +
                             "').convert('RGB'); " + operation + (operation.empty() ? "" : "; ") + "im.save('" +
                             to.string() + "')";
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"" + script + "\""), 0) << script;
}

int RunEyeChecker(const std::string& arguments) { return RunCommand(Quoted(EyeChecker()) + " " + arguments + " 2>/dev/null"); }

double Distance(int x, int y, double ex, double ey) { return std::hypot(x - ex, y - ey); }

// The answer's keys; -1000 for a missing coordinate, -1 for a missing "Detected".
struct TAnswer {
  int Detected, LeftX, LeftY, RightX, RightY;
};
TAnswer ReadAnswer(const fs::path& path) {
  TIniFile ini(path);
  return {ini.ReadInteger("Info", "Detected", -1), ini.ReadInteger("Info", "LeftX1", -1000),
          ini.ReadInteger("Info", "LeftY1", -1000), ini.ReadInteger("Info", "RightX1", -1000),
          ini.ReadInteger("Info", "RightY1", -1000)};
}

// Where a person marks the pupils in astronaut.png (512 x 512): the picture's
// left-hand eye, which is the person's right eye, and the picture's right-hand one.
constexpr double kPictureLeftEyeX = 203, kPictureLeftEyeY = 101;
constexpr double kPictureRightEyeX = 246, kPictureRightEyeY = 103;
constexpr double kTolerance = 12;

class EyeCheckerOnPortrait : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string reason;
    png_ = Astronaut(reason);
    if (png_.empty()) GTEST_SKIP() << reason;
  }
  fs::path png_;
  TempFolder folder_;
};

TEST_F(EyeCheckerOnPortrait, FindsBothEyesWhereAPersonWouldPutThem) {
  ToBmp(png_, folder_ / "eyesdetect.bmp");
  ASSERT_EQ(RunEyeChecker(Quoted(folder_ / "eyesdetect.bmp")), 0);

  // With one argument the answer lands beside the picture.
  const TAnswer a = ReadAnswer(folder_ / "lumbraeeyes.ini");
  ASSERT_EQ(a.Detected, 1);
  EXPECT_LE(Distance(a.RightX, a.RightY, kPictureLeftEyeX, kPictureLeftEyeY), kTolerance) << a.RightX << "," << a.RightY;
  EXPECT_LE(Distance(a.LeftX, a.LeftY, kPictureRightEyeX, kPictureRightEyeY), kTolerance) << a.LeftX << "," << a.LeftY;
}

TEST_F(EyeCheckerOnPortrait, MirroredPortraitKeepsThePersonsRightEyeOnThePicturesLeft) {
  ToBmp(png_, folder_ / "mirror.bmp", "im = ImageOps.mirror(im)");
  ASSERT_EQ(RunEyeChecker(Quoted(folder_ / "mirror.bmp") + " " + Quoted(folder_ / "answer.ini")), 0);

  const TAnswer a = ReadAnswer(folder_ / "answer.ini");
  ASSERT_EQ(a.Detected, 1);
  EXPECT_LE(Distance(a.RightX, a.RightY, 511 - kPictureRightEyeX, kPictureRightEyeY), kTolerance) << a.RightX;
  EXPECT_LE(Distance(a.LeftX, a.LeftY, 511 - kPictureLeftEyeX, kPictureLeftEyeY), kTolerance) << a.LeftX;
}

TEST_F(EyeCheckerOnPortrait, LargePictureAnswersInItsOwnPixels) {
  // Three times the size: the detector works on a reduced copy and must scale back.
  ToBmp(png_, folder_ / "big.bmp", "im = im.resize((1536, 1536))");
  ASSERT_EQ(RunEyeChecker(Quoted(folder_ / "big.bmp") + " " + Quoted(folder_ / "answer.ini")), 0);

  const TAnswer a = ReadAnswer(folder_ / "answer.ini");
  ASSERT_EQ(a.Detected, 1);
  EXPECT_LE(Distance(a.RightX, a.RightY, 3 * kPictureLeftEyeX + 1, 3 * kPictureLeftEyeY + 1), 3 * kTolerance);
  EXPECT_LE(Distance(a.LeftX, a.LeftY, 3 * kPictureRightEyeX + 1, 3 * kPictureRightEyeY + 1), 3 * kTolerance);
}

TEST(EyeChecker, BlankPictureAnswersNotDetected) {
  TempFolder folder;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"from PIL import Image; Image.new('RGB', (300, 200), (255, 255, "
                       "255)).save('" + (folder / "blank.bmp").string() + "')\""),
            0);
  // A stale positive answer must be replaced, not left standing.
  WriteTestFile(folder / "answer.ini", "[Info]\nDetected=1\nLeftX1=5\n");
  ASSERT_EQ(RunEyeChecker(Quoted(folder / "blank.bmp") + " " + Quoted(folder / "answer.ini")), 0);

  TIniFile answer(folder / "answer.ini");
  EXPECT_EQ(answer.ReadInteger("Info", "Detected", -1), 0);
  EXPECT_FALSE(answer.ValueExists("Info", "LeftX1"));
}

TEST(EyeChecker, UnreadablePictureFailsAndAnswersNotDetected) {
  TempFolder folder;
  WriteTestFile(folder / "broken.bmp", "BM this is not a bitmap");
  EXPECT_EQ(RunEyeChecker(Quoted(folder / "broken.bmp") + " " + Quoted(folder / "answer.ini")), 1);
  TIniFile answer(folder / "answer.ini");
  EXPECT_EQ(answer.ReadInteger("Info", "Detected", -1), 0);

  EXPECT_EQ(RunEyeChecker(Quoted(folder / "missing.bmp") + " " + Quoted(folder / "answer2.ini")), 1);
  EXPECT_EQ(RunEyeChecker(""), 1);
}

TEST(EyeChecker, BrokenCascadeFolderFallsBackToTheSystemOnes) {
  TempFolder folder;
  WriteTestFile(folder / "cascades" / "haarcascade_eye.xml", "");
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"from PIL import Image; Image.new('RGB', (40, 40)).save('" +
                       (folder / "p.bmp").string() + "')\""),
            0);
  // The named folder is tried first; the system's cascades would still be found after
  // it, so this only checks that a broken folder does not stop the search.
  const std::string env = "EYECHECKER_CASCADES=" + Quoted(folder / "cascades") + " ";
  EXPECT_EQ(RunCommand(env + Quoted(EyeChecker()) + " " + Quoted(folder / "p.bmp") + " 2>/dev/null"), 0);
}

}  // namespace
