#pragma once
// Skin pictures of windows and button sheets, and window shapes cut from them.
#include <QRegion>
#include <cstdint>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "shell/SkinFiles.h"
#include "shell/SkinRegion.h"

class QWidget;

// The loaders skins use: the program's picture files and, for other extensions,
// every format Qt reads.
const TSkinLoaders& SkinLoaders();

// Fills `bitmap` from the picture named by the interface value of `key`, else from
// `defaultFile` of the "DEFAULT" interface when `useDefault` is set. When nothing
// loads (and `useDefault` is set) the one message "Cannot load bitmap from file "
// + defaultFile is shown and the bitmap is left empty.
bool LoadSkinBitmap(TBitmap32& bitmap, std::string_view key, std::string_view defaultFile, bool useDefault);

// The window's button sheet: the picture of its direct child image "ImageButtons".
void LoadButtonsSkin(QWidget& form, std::string_view key, std::string_view defaultFile, bool useDefault);
void FreeButtonsSkin(QWidget& form);

QRegion RegionFromRuns(const std::vector<TRegionRun>& runs);
// The control's shape: every pixel of `bitmap` but `keyRgb`.
void SetControlShape(QWidget& control, const TBitmap32& bitmap, std::uint32_t keyRgb = kSkinKeyColor);
