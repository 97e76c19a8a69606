#pragma once
// The client of the outside eye detector: hands it the picture as a 24-bit bitmap
// in a private folder, waits for it with a time-out and checks its answer.
#include <filesystem>
#include <optional>

#include "picture/Bitmap32.h"
#include "platform/Process.h"

namespace fs = std::filesystem;

// Eye centres in pixels of the picture handed over. The detector's "left" eye is
// the person's left eye, which is the picture's right-hand one.
struct TEyeAnswer {
  int LeftX1 = 0;
  int LeftY1 = 0;
  int RightX1 = 0;
  int RightY1 = 0;
  bool operator==(const TEyeAnswer&) const = default;
};

class TEyeDetector {
 public:
  static constexpr int kDefaultTimeoutMs = 20000;
  static constexpr char kBitmapName[] = "eyesdetect.bmp";
  static constexpr char kAnswerName[] = "lumbraeeyes.ini";

  // `program` is the detector; both exchange files live in `exchangeFolder`, which
  // should be private to this run (created when missing).
  TEyeDetector(IProcessRunner& runner, fs::path program, fs::path exchangeFolder,
               int timeoutMs = kDefaultTimeoutMs);

  // Runs the detector on `picture`. The answer is used only when the detector
  // ended by itself within the time-out, said "Detected=1", gave every eye
  // coordinate inside the picture and put the person's right eye left of the left
  // one; anything else is nullopt. An empty picture is never handed over.
  std::optional<TEyeAnswer> Detect(const TBitmap32& picture);

  // How the last run went (Started false when there was none).
  const TProcessResult& LastRun() const { return lastRun_; }
  fs::path BitmapFile() const { return folder_ / kBitmapName; }
  fs::path AnswerFile() const { return folder_ / kAnswerName; }
  // Deletes both exchange files (the window does so when it closes).
  void RemoveFiles() const;

 private:
  IProcessRunner& runner_;
  fs::path program_;
  fs::path folder_;
  int timeoutMs_;
  TProcessResult lastRun_;
};
