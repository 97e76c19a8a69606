#pragma once
// Finding a window's skin picture: the interface's own picture in the resolution
// folders from the screen's down to 800-600, then the default picture of the
// "DEFAULT" interface the same way.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"

namespace fs = std::filesystem;

struct TInterface;

// Loads one file into a bitmap; false (or an exception) when it cannot.
using TSkinFileLoader = std::function<bool(const fs::path& file, TBitmap32& bitmap)>;

struct TSkinLoaders {
  TSkinFileLoader Picture;  // ".psd", ".fll", ".fcc": the program's own picture files
  TSkinFileLoader Other;    // every other extension
};

// The files tried for `fileName` of interface `interfaceName` ("DEFAULT\") in the
// interfaces folder of `used`, from its resolution row down to 1, each resolved
// below the installation folder; none for a name that would leave the resolution folder (see
// SafeRelativePath).
std::vector<fs::path> SkinCandidates(const TInterface& used, std::string_view interfaceName,
                                    std::string_view fileName);

// Fills `bitmap` from the picture named by the value of `key` in `used`, else (with
// `useDefault`) from `defaultFile` of the default interface. False, with an empty
// bitmap, when nothing loaded; failures of single files are passed over.
bool FindSkinBitmap(TBitmap32& bitmap, const TInterface& used, std::string_view key, std::string_view defaultFile,
                    bool useDefault, const TSkinLoaders& loaders);

// The one message of a skin that loads nowhere.
std::string SkinLoadErrorText(std::string_view defaultFile);
