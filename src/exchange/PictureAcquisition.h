#pragma once
// Pictures coming in: picture files by their extension, scans, and the source
// picture they become.
#include <filesystem>
#include <optional>
#include <string>

#include "editor/SourcePicture.h"
#include "picture/Bitmap32.h"
#include "platform/FileResult.h"
#include "platform/Scanner.h"

namespace fs = std::filesystem;

// Which reader a file goes to, by its extension compared lower-cased: ".psd" our
// Photoshop reader (which also finds a ".fcc" or ".fll" of the same name),
// ".jpg" and ".jpeg" the JPEG class, everything else the imaging library.
enum class TLoadRoute { Psd, Jpeg, Lead };
TLoadRoute LoadRouteFor(const fs::path& file);

// Reads the file by its route; fails when it cannot be read or is empty (TooLarge
// naming the size of a picture refused for it). A Photoshop picture whose alpha
// is 0 everywhere (a file saved without transparency) comes back opaque.
TFileResult<TSourcePicture> LoadIncomingPicture(const fs::path& file);

// Why a picture file that did not load could not be read, in words a user can
// act on (never a library's own): no such file, empty, not a picture the program
// reads, not the kind of picture its name says, cut short, or damaged.
std::string PictureFileProblem(const fs::path& file);

// A scan as an opaque picture; empty when the scan has no pixels or exceeds the
// picture caps.
TBitmap32 BitmapFromScan(const TScanImage& scan);

// The result of a scan for the user: the scanned picture (without alpha), empty
// for a cancel, which says nothing, and for a failure, which gives the message
// text to show.
struct TScanOutcome {
  TBitmap32 Picture;
  std::optional<std::string> Message;
};
TScanOutcome TakeScanResult(const TScanResult& result);
// The options every scan asks for: colour when the device offers it.
std::vector<TScanOption> PreferredScanOptions();
