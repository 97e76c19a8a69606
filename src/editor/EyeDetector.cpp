#include "editor/EyeDetector.h"

#include <string>

#include "picture/Bmp32.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

namespace {

constexpr char kSection[] = "Info";
// Larger answers are not an ini the detector wrote.
constexpr std::uintmax_t kMaxAnswerBytes = 64 * 1024;

std::optional<int> ReadKey(const TIniFile& ini, const char* key) {
  if (!ini.ValueExists(kSection, key)) return std::nullopt;
  return ParseInt(ini.ReadString(kSection, key, ""));
}

bool Inside(int x, int y, const TBitmap32& picture) {
  return x >= 0 && y >= 0 && x < picture.Width() && y < picture.Height();
}

}  // namespace

TEyeDetector::TEyeDetector(IProcessRunner& runner, fs::path program, fs::path exchangeFolder, int timeoutMs)
    : runner_(runner), program_(std::move(program)), folder_(std::move(exchangeFolder)), timeoutMs_(timeoutMs) {}

void TEyeDetector::RemoveFiles() const {
  std::error_code error;
  fs::remove(BitmapFile(), error);
  fs::remove(AnswerFile(), error);
}

std::optional<TEyeAnswer> TEyeDetector::Detect(const TBitmap32& picture) {
  lastRun_ = {};
  // An answer left from an earlier picture must never be read as this one's.
  RemoveFiles();
  if (picture.Empty()) return std::nullopt;
  std::error_code error;
  fs::create_directories(folder_, error);
  if (!WriteFileAtomic(BitmapFile(), EncodeBmp24(picture))) return std::nullopt;

  lastRun_ = runner_.Run(program_, {BitmapFile().string()}, timeoutMs_);
  if (!lastRun_.Started || lastRun_.TimedOut) return std::nullopt;

  const auto bytes = ReadFileBytes(AnswerFile(), kMaxAnswerBytes);
  if (!bytes) return std::nullopt;
  const TIniFile ini = TIniFile::FromText(std::string(bytes->begin(), bytes->end()));
  if (ReadKey(ini, "Detected") != 1) return std::nullopt;
  const auto leftX = ReadKey(ini, "LeftX1"), leftY = ReadKey(ini, "LeftY1");
  const auto rightX = ReadKey(ini, "RightX1"), rightY = ReadKey(ini, "RightY1");
  if (!leftX || !leftY || !rightX) return std::nullopt;
  // RightY1 came later than the other keys; an answer without it uses the left eye's.
  const TEyeAnswer answer{*leftX, *leftY, *rightX, rightY.value_or(*leftY)};
  if (!Inside(answer.LeftX1, answer.LeftY1, picture) || !Inside(answer.RightX1, answer.RightY1, picture))
    return std::nullopt;
  if (answer.RightX1 >= answer.LeftX1) return std::nullopt;
  return answer;
}
