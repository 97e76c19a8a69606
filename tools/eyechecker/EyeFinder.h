#pragma once
// Finds a frontal face, then its two eyes, with OpenCV's Haar cascades.
#include <filesystem>
#include <memory>

#include "picture/Bitmap32.h"

// Eye centres in picture pixels. "Left" is the person's left eye, which is the
// picture's right-hand one.
struct TEyeFinding {
  bool Detected = false;
  int LeftX = 0;
  int LeftY = 0;
  int RightX = 0;
  int RightY = 0;
};

class TEyeFinder {
 public:
  TEyeFinder();
  ~TEyeFinder();
  // Loads the face and eye cascades from `folder`; false when either is missing or bad.
  bool Load(const std::filesystem::path& folder);
  // The largest frontal face's eyes. An eye the eye cascade misses is placed where
  // faces usually carry it, so a found face always answers with two eyes.
  TEyeFinding Find(const TBitmap32& picture);

 private:
  struct TCascades;
  std::unique_ptr<TCascades> cascades_;
};
