#include "editor/VideoClip.h"

#include <algorithm>

#include "platform/Paths.h"
#include "platform/Text.h"

std::int64_t StepPosition(std::int64_t position, std::int64_t length, std::int64_t frameMs, int direction) {
  const std::int64_t step = std::max<std::int64_t>(1, frameMs);
  const std::int64_t target = direction >= 0 ? position + step : position - step;
  return std::clamp<std::int64_t>(target, 0, std::max<std::int64_t>(0, length));
}

TVideoTick VideoTimerStep(std::int64_t position, std::int64_t length, bool stopped) {
  TVideoTick tick;
  tick.MoveSlider = position != 0;
  if (length > 0 && position >= length) {
    tick.Rewind = true;
    tick.Replay = stopped;
  }
  return tick;
}

bool IsListedVideo(std::string_view fileName) {
  const std::string ext = UpperAscii(ExtractFileExt(fileName));
  return ext == ".AVI" || ext.starts_with(".MP");
}

std::vector<std::string> ListVideos(const fs::path& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (it->is_regular_file(ec) && IsListedVideo(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return UpperAscii(a) < UpperAscii(b); });
  return names;
}
