#pragma once
// The arithmetic of the video players: frame steps, the 100 ms timer's decision
// (slider, rewind, loop) and which files the file-list player lists.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

// One frame forward (+1) or back (-1) from `position`, kept within 0..length
// (milliseconds).
std::int64_t StepPosition(std::int64_t position, std::int64_t length, std::int64_t frameMs, int direction);

struct TVideoTick {
  bool MoveSlider = false;  // the slider takes the position
  bool Rewind = false;      // the clip is at its end: back to the start...
  bool Replay = false;      // ...and playing again when it had stopped there
};
TVideoTick VideoTimerStep(std::int64_t position, std::int64_t length, bool stopped);

// The file-list player's mask "*.avi;*.mp*;": ".avi" and every extension that
// begins with "mp", in any letter case.
bool IsListedVideo(std::string_view fileName);
// The listed videos of `folder`, sorted by name ignoring case.
std::vector<std::string> ListVideos(const fs::path& folder);
