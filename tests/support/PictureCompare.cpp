#include "support/PictureCompare.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "picture/Bmp32.h"
#include "platform/FileIO.h"

namespace fs = std::filesystem;

namespace {
std::string Hex(TColor32 c) {
  char text[16];
  std::snprintf(text, sizeof text, "%08X", unsigned(c));
  return std::string("0x") + text + " (ARGB)";
}

bool Close(TColor32 a, TColor32 b, const TPictureMatch& match) {
  for (int shift = 0; shift < 32; shift += 8) {
    const int d = int((a >> shift) & 255) - int((b >> shift) & 255);
    if (std::abs(d) > (shift == 24 ? match.AlphaTolerance : match.ColourTolerance)) return false;
  }
  return true;
}

// Writes both pictures and says where; several failures in one test get
// numbered files.
std::string WritePictures(const TBitmap32& actual, const TBitmap32& expected) {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "picture";
  for (char& c : name)
    if (c == '/') c = '_';
  static int count = 0;
  name += "-" + std::to_string(++count);
  const char* chosen = std::getenv("TRESSARY_TEST_OUTPUT_DIR");
  std::error_code ec;
  const fs::path folder = (chosen && *chosen ? fs::path(chosen) : fs::current_path(ec)) / "failed-pictures";
  fs::create_directories(folder, ec);
  const fs::path a = folder / (name + ".actual.bmp"), e = folder / (name + ".expected.bmp");
  if (!WriteFileAtomic(a, EncodeBmp32(actual)) || !WriteFileAtomic(e, EncodeBmp32(expected)))
    return "\n  (the pictures could not be written to " + folder.string() + ")";
  return "\n  actual:   " + a.string() + "\n  expected: " + e.string();
}
}  // namespace

::testing::AssertionResult SamePicture(const TBitmap32& actual, const TBitmap32& expected, TPictureMatch match) {
  if (actual.Width() != expected.Width() || actual.Height() != expected.Height())
    return ::testing::AssertionFailure() << "picture is " << actual.Width() << " x " << actual.Height()
                                         << ", expected " << expected.Width() << " x " << expected.Height()
                                         << WritePictures(actual, expected);
  int firstX = -1, firstY = -1;
  long differing = 0;
  for (int y = 0; y < actual.Height(); ++y)
    for (int x = 0; x < actual.Width(); ++x)
      if (!Close(actual.Pixel(x, y), expected.Pixel(x, y), match) && differing++ == 0) firstX = x, firstY = y;
  if (differing == 0) return ::testing::AssertionSuccess();
  std::string within;
  if (match.ColourTolerance || match.AlphaTolerance)
    within = " beyond a tolerance of " + std::to_string(match.ColourTolerance) + " in colour and " +
             std::to_string(match.AlphaTolerance) + " in alpha";
  return ::testing::AssertionFailure() << differing << " of " << long(actual.Width()) * actual.Height()
                                       << " pixels differ" << within << "; the first at (" << firstX << ", "
                                       << firstY << "): actual " << Hex(actual.Pixel(firstX, firstY))
                                       << ", expected " << Hex(expected.Pixel(firstX, firstY))
                                       << WritePictures(actual, expected);
}

::testing::AssertionResult SamePicture(const std::optional<TBitmap32>& actual, const TBitmap32& expected,
                                       TPictureMatch match) {
  if (!actual)
    return ::testing::AssertionFailure() << "no picture, expected " << expected.Width() << " x " << expected.Height();
  return SamePicture(*actual, expected, match);
}

::testing::AssertionResult SamePicture(const TFileResult<TBitmap32>& actual, const TBitmap32& expected,
                                       TPictureMatch match) {
  if (!actual) return ::testing::AssertionFailure() << "no picture: " << actual.Error().Text();
  return SamePicture(*actual, expected, match);
}
