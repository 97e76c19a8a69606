#pragma once
// The print window without Qt: which file sits at which page position, whether it
// is mirrored, the layout, and printing such a page on a device.
#include <array>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "exchange/PrintLayout.h"
#include "picture/Bitmap32.h"

namespace fs = std::filesystem;


// The page the user composes: a layout (1..4) and, per page position (1..4), a file
// and a mirror flag. Slots are what the user sees; positions are the quarters.
class TPrintPage {
 public:
  static constexpr int kPositions = 4;

  int Layout() const { return layout_; }
  // Any change of layout (also to the same one) empties every slot and flag; an
  // unknown layout is refused.
  bool SetLayout(int layout);
  // Layout 1, every position empty and unmirrored.
  void Reset() { SetLayout(1); }

  // The file at a position; "" when empty or out of range.
  const std::string& SlotFile(int position) const;
  bool Mirrored(int position) const;
  bool HasFile(int position) const { return !SlotFile(position).empty(); }

  // Stores `file` at the position of `slot`, unmirrored (as the preview draws it);
  // the position, 0 when the layout has no such slot or the name is empty. The
  // same file may sit at several positions.
  int Place(int slot, const std::string& file);
  // Empties the position of `slot` (its mirror flag too); the position, 0 for a
  // slot the layout does not have.
  int Clear(int slot);
  // Toggles the mirror flag of a position; its new value.
  bool ToggleMirror(int position);

 private:
  static bool Valid(int position) { return position >= 1 && position <= kPositions; }
  int layout_ = 1;
  std::array<std::string, kPositions> files_;
  std::array<bool, kPositions> mirrored_{};
};

// Mirrors left to right, for a picture of any width.
void MirrorBitmap(TBitmap32& bitmap);

// A file for the print window: loaded by its extension, mirrored on request; empty
// when it cannot be read.
TBitmap32 LoadPrintPicture(const fs::path& file, bool mirrored);

// The picture files of a folder the print window lists, sorted by name.
std::vector<std::string> PrintableFiles(const fs::path& folder);
bool IsPrintableFile(const std::string& name);

// Margins in percent of the page.
struct TPrintMargins {
  int LeftRight = 5;
  int TopBottom = 10;
};
// The settings' margins, each kept within 0..99 %.
TPrintMargins PrintMargins(int leftRight, int topBottom);

// A printer as the page printing sees it.
class IPrintDevice {
 public:
  virtual ~IPrintDevice() = default;
  // The printable area in whole millimetres.
  virtual int PageWidthMm() const = 0;
  virtual int PageHeightMm() const = 0;
  virtual int DpiX() const = 0;
  virtual int DpiY() const = 0;
  virtual bool BeginDoc() = 0;
  virtual bool EndDoc() = 0;
  // `bitmap` with its top-left corner at device pixel (left, top), sized in tenths
  // of a millimetre.
  virtual void PrintBitmap(const TBitmap32& bitmap, int left, int top, int widthTenths, int heightTenths) = 0;
};

struct TPrintedPicture {
  int Position = 0;  // 0 for the house picture
  TRect Box;         // tenths of a millimetre from the printable origin
};
using TPrintLoader = std::function<TBitmap32(const fs::path& file, bool mirrored)>;

// Prints the page on one sheet: each filled position of the layout loaded again
// (a file in several slots is loaded and mirrored for each), placed inside its
// area, then the house picture `logo` (when not empty) at the origin, one pixel a
// tenth of a millimetre. Files that do not load are skipped. What was printed
// where; nullopt when the device would not start a document.
std::optional<std::vector<TPrintedPicture>> PrintPage(const TPrintPage& page, IPrintDevice& device,
                                                      const TPrintMargins& margins, const TBitmap32& logo,
                                                      const TPrintLoader& load = LoadPrintPicture);

// Prints a post card alone on one sheet: as wide as the printable area with its
// proportions kept, at the left edge and centred vertically (fitted to the height
// instead when it would run off the sheet). Its box in tenths of a millimetre from
// the printable origin; nullopt for an empty card or when no document starts.
std::optional<TRect> PrintCard(const TBitmap32& card, IPrintDevice& device, const TPrintMargins& margins);
