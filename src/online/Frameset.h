#pragma once
// Pages that divide their window into frames: the frameset a page declares
// (rows and columns of frames, framesets inside framesets), the extents its rows
// and columns take in a given size, and the frame a link is aimed at. Only the
// markup is read; scripts are not run.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One entry of a "rows" or "cols" list: "120" pixels, "30%" of the whole, "*" or
// "2*" a share of what is left.
struct TFrameSize {
  enum EUnit { Pixels, Percent, Share };
  EUnit Unit = Share;
  int Value = 1;
};
// "100, 25%, *, 2*": an empty list is one share. Entries that are no number
// count as one share.
std::vector<TFrameSize> ParseFrameSizes(std::string_view list);
// The extents of `sizes` within `total`: pixels and percentages first (scaled
// down together when they do not fit), the rest divided by shares. Without
// shares the others are scaled to fill `total`. The extents add up to `total`.
std::vector<int> FrameExtents(const std::vector<TFrameSize>& sizes, int total);

// A frameset (Children laid out row by row in its Rows x Cols grid) or a frame.
struct TFrameNode {
  bool IsFrameset = false;
  std::string Name, Src;  // frames
  std::vector<TFrameSize> Rows, Cols;
  std::vector<TFrameNode> Children;
};
// Framesets nested deeper than this are left out with their frames: no window
// shows such frames, and a page of millions would exhaust the stack.
inline constexpr std::size_t kMaxFrameNesting = 16;
// The outermost frameset of a page; nullopt for a page without one.
std::optional<TFrameNode> ParseFrameset(std::string_view html);

struct TFrameRect {
  std::string Name, Src;
  int X = 0, Y = 0, Width = 0, Height = 0;
};
// The frames of `set`, in page order, placed in a window of the given size.
std::vector<TFrameRect> LayOutFrames(const TFrameNode& set, int width, int height);

// The frame a link of `html` is aimed at: the "target" of the first link whose
// "href" is `href` as written, else the target of the page's "base" element,
// else "" (the frame the link is in).
std::string LinkTarget(std::string_view html, std::string_view href);
