#pragma once
// The recolouring of a layer rendering: per pixel, four stages (tint; red, green
// and blue scale; hue, saturation and brightness; contrast), each taken from the
// regions the pixel lies in when any of them sets it, else from the layer. Pixels
// with alpha 0 are never changed. All arithmetic is integer and exact.
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>

#include "picture/AlphaSpans.h"
#include "picture/Bitmap32.h"
#include "picture/ColorValues.h"
#include "platform/Geometry.h"

class TMask;
class TMaskA;

// Hue in degrees (0..360), saturation and brightness in percent.
struct THsb {
  int Hue = 0;
  int Saturation = 0;
  int Brightness = 0;
  bool operator==(const THsb&) const = default;
};
THsb RgbToHsb(int red, int green, int blue);
// Saturation and brightness are clamped to 0..100; the hue is taken modulo 360.
// Returns the colour with alpha `alpha`.
TColor32 HsbToRgb(int hue, int saturation, int brightness, std::uint8_t alpha = 255);

// Rounds numerator / denominator to the nearest integer, ties to even
// (denominator > 0).
std::int64_t RoundDiv(std::int64_t numerator, std::int64_t denominator);
// Mean of (30 R + 59 G + 11 B) div 100 over the pixels whose alpha is not 0,
// rounded; 0 when there is none.
int MeanLuminance(const TBitmap32& picture);

class TColorStages {
 public:
  // `picture` is the whole layer picture (its mean luminance serves contrast);
  // `mask` may be null. Both must outlive the stages.
  TColorStages(const TBitmap32& picture, const TColorValues& layer, const TMask* mask);
  ~TColorStages();

  // The pixel after the stages, `cells` being its byte of the region map; one
  // pixel at a time, the measure the row form is held to.
  TColor32 Apply(TColor32 pixel, std::uint8_t cells);
  // The same over a row: pixel x has region byte cells[x] (no regions when
  // `cells` is null). Several threads may run rows at once.
  void ApplyRow(TColor32* pixels, const std::uint8_t* cells, int count);
  // True when no pixel can change (all values neutral, regions and layer).
  bool Neutral() const { return neutral_; }
  // Whether the mean luminance was needed so far.
  bool MeanComputed() const { return meanComputed_; }
  // Computes the mean luminance now when the layer or a region sets a contrast,
  // so that rows on several threads need not wait for one of them to do it.
  void PrepareMean();

  struct Plan;

 private:
  const Plan& PlanFor(std::uint8_t cells);
  std::unique_ptr<Plan> BuildPlan(std::uint8_t cells);
  int Mean();

  const TBitmap32& picture_;
  TColorValues layer_;
  std::array<TColorValues, 8> regions_{};
  bool neutral_ = true;
  bool meanComputed_ = false;
  int mean_ = 0;
  std::once_flag meanOnce_;
  std::array<std::unique_ptr<Plan>, 256> plans_;
  std::array<std::once_flag, 256> planOnce_;
};

// The instruction sets the row form can use, narrowest first: one pixel at a
// time, eight with byte-shuffled tables (AVX2), sixteen with permuted tables
// (AVX-512 with byte permutes). Rows take the widest the processor has, up to the limit.
enum class TStagesWidth { Plain, Wide, Widest };
TStagesWidth SupportedStagesWidth();
// Sets the limit for every later row (for checking each width against Apply).
void LimitStagesWidth(TStagesWidth width);

// Copies `source` of `picture` into the whole of `target` by nearest pixel (target
// column x samples source column source.Left + x * source.Width() / target width,
// truncated; rows likewise), then runs `stages` over every copied pixel whose alpha
// is not 0, taking its region byte from `map` at the sampled picture pixel (clamped
// into the map; no regions when the map is empty). Large targets go in bands of
// rows over several threads, with the same result. With `spans` (room for one a
// target row), each row's alpha spans are measured while the row is in the cache.
void RenderLayerPixels(const TBitmap32& picture, const TRect& source, const TMaskA& map, TColorStages& stages,
                       TBitmap32& target, TAlphaSpan* spans = nullptr);
