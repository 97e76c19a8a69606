#include "platform/Processor.h"

#include <sched.h>

#include <algorithm>
#include <thread>

const TProcessorFeatures& ProcessorFeatures() {
  static const TProcessorFeatures features = [] {
    TProcessorFeatures found;
#if defined(__x86_64__) || defined(__i386__)
    // Statics of other files may ask before the compiler's start-up code has run.
    __builtin_cpu_init();
    found.Avx2 = __builtin_cpu_supports("avx2");
    found.Avx512Vbmi = found.Avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                       __builtin_cpu_supports("avx512dq") && __builtin_cpu_supports("avx512vl") &&
                       __builtin_cpu_supports("avx512vbmi");
    found.Avx512Vbmi2 =
        found.Avx512Vbmi && __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("bmi2");
#endif
    return found;
  }();
  return features;
}

int UsableProcessors() {
  cpu_set_t set;
  CPU_ZERO(&set);
  if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(1, CPU_COUNT(&set));
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}
