// eyechecker PICTURE.bmp [ANSWER.ini]
//
// Looks for a frontal face and its eyes in a 24- or 32-bit bitmap and writes the
// answer, by default as "lumbraeeyes.ini" beside the picture:
//   [Info]
//   Detected=1            (0 when no face was found or the picture is unreadable)
//   LeftX1=.. LeftY1=..   the person's left eye (the picture's right-hand one)
//   RightX1=.. RightY1=.. the person's right eye
// Coordinates are picture pixels, origin at the top left. Exit status: 0 when an
// answer was written, 1 on bad usage or an unreadable picture, 2 when the cascades
// are missing.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "EyeFinder.h"
#include "picture/Bmp32.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"

namespace {

constexpr char kAnswerName[] = "lumbraeeyes.ini";
constexpr std::uintmax_t kMaxPictureBytes = std::uintmax_t(1) << 30;

std::vector<fs::path> CascadeFolders() {
  std::vector<fs::path> folders;
  if (const char* chosen = std::getenv("EYECHECKER_CASCADES"); chosen && *chosen) folders.emplace_back(chosen);
  folders.push_back(ExecutableDir() / "haarcascades");
  folders.emplace_back("/usr/share/opencv4/haarcascades");
  folders.emplace_back("/usr/share/opencv/haarcascades");
  return folders;
}

bool WriteAnswer(const fs::path& path, const TEyeFinding& found) {
  // Start from nothing: keys of an earlier answer must not survive into this one.
  std::error_code error;
  fs::remove(path, error);
  TIniFile ini(path, false);
  ini.WriteInteger("Info", "Detected", found.Detected ? 1 : 0);
  if (found.Detected) {
    ini.WriteInteger("Info", "LeftX1", found.LeftX);
    ini.WriteInteger("Info", "LeftY1", found.LeftY);
    ini.WriteInteger("Info", "RightX1", found.RightX);
    ini.WriteInteger("Info", "RightY1", found.RightY);
  }
  return ini.UpdateFile().Ok();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: eyechecker PICTURE.bmp [ANSWER.ini]\n");
    return 1;
  }
  const fs::path picturePath = argv[1];
  const fs::path answerPath = argc == 3 ? fs::path(argv[2]) : picturePath.parent_path() / kAnswerName;

  const auto bytes = ReadFileBytes(picturePath, kMaxPictureBytes);
  const TFileResult<TBitmap32> picture = bytes ? DecodeBmp32(*bytes, picturePath) : bytes.Error();
  if (!picture) {
    std::fprintf(stderr, "eyechecker: %s is not a readable 24- or 32-bit bitmap\n", picturePath.c_str());
    WriteAnswer(answerPath, {});
    return 1;
  }

  TEyeFinder finder;
  bool loaded = false;
  for (const fs::path& folder : CascadeFolders()) {
    if ((loaded = finder.Load(folder))) break;
  }
  if (!loaded) {
    std::fprintf(stderr, "eyechecker: the Haar cascades were not found (package opencv-data)\n");
    WriteAnswer(answerPath, {});
    return 2;
  }

  if (!WriteAnswer(answerPath, finder.Find(*picture))) {
    std::fprintf(stderr, "eyechecker: cannot write %s\n", answerPath.c_str());
    return 1;
  }
  return 0;
}
