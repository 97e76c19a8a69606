#pragma once
// The skins of the default interface: one row per picture, with its size in each
// resolution folder.
#include <span>
#include <string_view>

enum class TSkinStyle {
  Window,      // a rounded window with a title strip and a content well, buttons below it
  Dialog,      // a window whose controls fill it: a narrower title strip, one well below
  MainWindow,  // the main window: tool column, desk frame, layer column, status strip
};

struct TDefaultSkin {
  std::string_view File;
  TSkinStyle Style;
  int Width1024, Height1024;  // "1024-768\"
  int Width800, Height800;    // "800-600\"
};

std::span<const TDefaultSkin> DefaultSkins();
