#pragma once
// Splits row work over a few threads when it is large enough to pay for them.
#include <algorithm>
#include <cstdint>

// Runs task(context, i) for every i in 0..tasks-1, on the calling thread and the
// threads of a pool kept for the purpose, and returns when all are done. A task
// that throws has its exception rethrown here once all are done. Tasks may run
// RunTasks themselves.
void RunTasks(int tasks, void (*task)(const void* context, int index), const void* context);
// Threads that may work at once, the calling one included (1 to 8).
int TaskThreads();
// Caps TaskThreads() (0: no cap; 1 runs every task on the calling thread), so
// that a benchmark can set one thread beside several in the same run.
void LimitTaskThreads(int threads);

// Runs `rows(start, end)` over y0..y1 in bands of at least `pixelsPerBand` pixels,
// up to four a thread so that a thread held up elsewhere leaves its share to the
// others; each call must touch its own rows only.
template <typename Rows>
void ForRowBands(int y0, int y1, std::int64_t pixels, const Rows& rows, std::int64_t pixelsPerBand = 1 << 18) {
  const int threads = TaskThreads();
  const int bands = threads <= 1 ? 1
                                 : static_cast<int>(std::clamp<std::int64_t>(
                                       pixels / std::max<std::int64_t>(1, pixelsPerBand), 1, 4 * threads));
  if (bands <= 1 || y1 - y0 < 2 * bands) {
    rows(y0, y1);
    return;
  }
  struct Job {
    const Rows& rows;
    int y0, y1, step;
  } job{rows, y0, y1, (y1 - y0 + bands - 1) / bands};
  const int tasks = (y1 - y0 + job.step - 1) / job.step;
  RunTasks(
      tasks,
      [](const void* context, int i) {
        const Job& j = *static_cast<const Job*>(context);
        const int start = j.y0 + i * j.step;
        j.rows(start, std::min(j.y1, start + j.step));
      },
      &job);
}
