#pragma once
// What the processor offers the vector paths that are chosen at run time,
// examined once; safe to ask while statics are made.

struct TProcessorFeatures {
  bool Avx2 = false;
  // AVX-512 with byte permutes: F, BW, DQ, VL and VBMI together.
  bool Avx512Vbmi = false;
  // And VBMI2 (bytes compressed and expanded under a mask) and BMI2.
  bool Avx512Vbmi2 = false;
};

const TProcessorFeatures& ProcessorFeatures();

// Processors this process may run on: its affinity set (taskset, a container's
// cpuset), not every processor the machine has online; at least 1.
int UsableProcessors();
