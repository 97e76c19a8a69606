#pragma once
// What the open-picture dialog shows for a selected file: the picture itself, or
// the preview a work file stores, and where the preview area draws it.
#include <filesystem>
#include <string>

#include "picture/Bitmap32.h"
#include "platform/Geometry.h"

namespace fs = std::filesystem;

struct TPicturePreview {
  // A selection the dialog counts as a picture (its size is shown, the preview
  // button enabled). A work whose stored preview does not read is valid with an
  // empty picture.
  bool Valid = false;
  TBitmap32 Picture;
};

// Reads `file` by its extension: pictures through the picture loaders, works
// (compressed and uncompressed) by their stored preview. Nothing is written, and
// every size is checked against the picture caps before pixels are allocated.
TPicturePreview LoadPicturePreview(const fs::path& file);

// Where a picture of width x height is drawn in `area`: unscaled and centred when
// it fits, else shrunk to the area keeping its aspect from the area's top-left
// corner. Empty for a picture narrower than 1 pixel (the area shows "(None)").
TRect PreviewPaintRect(int width, int height, const TRect& area);

// The dialog's own filter before the load-and-save window sets one: every
// picture format the imaging library reads, Photoshop files included in the
// first entry as ";*psd" (which also matches a name ending in psd without a dot),
// and a last entry of its own for them.
std::string DefaultPictureFilter();
