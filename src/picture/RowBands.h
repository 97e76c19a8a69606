#pragma once
// Splits row work over a few threads when it is large enough to pay for them.
#include <algorithm>
#include <cstdint>
#include <system_error>
#include <thread>
#include <vector>

// Runs `rows(start, end)` over y0..y1, in up to eight bands of its own thread when
// there are at least 2^18 pixels a band; each call must touch its own rows only.
template <typename Rows>
void ForRowBands(int y0, int y1, std::int64_t pixels, const Rows& rows) {
  constexpr std::int64_t kPixelsPerThread = 1 << 18;
  const int hardware = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  const int bands = static_cast<int>(std::clamp<std::int64_t>(pixels / kPixelsPerThread, 1, std::min(hardware, 8)));
  if (bands <= 1 || y1 - y0 < 2 * bands) {
    rows(y0, y1);
    return;
  }
  std::vector<std::thread> threads;
  const int step = (y1 - y0 + bands - 1) / bands;
  int start = y0 + step;
  try {
    for (; start < y1; start += step)
      threads.emplace_back([&rows, start, end = std::min(y1, start + step)] { rows(start, end); });
  } catch (const std::system_error&) {
    // No thread to be had: the calling thread does the bands left over.
  }
  rows(y0, std::min(y1, y0 + step));
  for (; start < y1; start += step) rows(start, std::min(y1, start + step));
  for (auto& t : threads) t.join();
}
