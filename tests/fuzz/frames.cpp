// Publisher messages are downloaded pages: any markup must give a frameset whose
// frames lie inside the window, extents that fill it exactly, and link targets.
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <string_view>

#include "online/Frameset.h"

namespace {

void CheckExtents(const std::vector<TFrameSize>& sizes, int total) {
  const std::vector<int> extents = FrameExtents(sizes, total);
  if (extents.size() != sizes.size()) std::abort();
  long long sum = 0;
  for (int extent : extents) {
    if (extent < 0) std::abort();
    sum += extent;
  }
  if (!extents.empty() && sum != total) std::abort();
}

void CheckLayout(const TFrameNode& set, int width, int height) {
  for (const TFrameRect& r : LayOutFrames(set, width, height))
    if (r.X < 0 || r.Y < 0 || r.Width < 0 || r.Height < 0 || r.X + r.Width > width || r.Y + r.Height > height)
      std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int total : {0, 1, 599, 1 << 30}) CheckExtents(ParseFrameSizes(text), total);
  if (const auto set = ParseFrameset(text)) {
    CheckLayout(*set, 640, 480);
    CheckLayout(*set, 1, 0);
    for (const TFrameRect& frame : LayOutFrames(*set, 640, 480)) LinkTarget(text, frame.Src);
  }
  // The first line is the link looked for in the rest.
  const std::size_t end = text.find('\n');
  if (end != std::string_view::npos) LinkTarget(text.substr(end + 1), text.substr(0, end));
  return 0;
}
