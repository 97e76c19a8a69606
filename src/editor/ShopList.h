#pragma once
// Where the templates and colours of a work can be bought: the desk's layers
// matched against "partshops.txt" (key; shop ids) and "shops.txt" (id; postal
// code; shop; internet address), one row per match, and the grid's measures.
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

// What the matching needs of one desk layer.
struct TShopLayer {
  std::string SourceFile;  // as stored in the layer ("" for none)
  int Color = -1;          // tint $00BBGGRR, -1 = none
};

struct TShopRow {
  std::string Line;   // the "partshops.txt" line + ";0;" (template) or ";1;" (colour)
  bool IsColor = false;
  int Layer = 0;      // the desk index the row came from
  int Color = -1;     // the tint of a colour row
  // One entry per id of the row, in the line's order; blank where "shops.txt"
  // has no such id or leaves the field empty.
  std::vector<std::string> Shops;
  std::vector<std::string> Urls;
  std::vector<std::string> Zips;
};

class TShopList {
 public:
  // Reads both files (records only: no empty or "#" lines); false, and nothing
  // loaded, unless both exist and can be read.
  bool Load(const fs::path& shopsFile, const fs::path& partShopsFile);
  void SetLines(std::vector<std::string> shops, std::vector<std::string> partShops);

  // The rows for the desk's layers, top first: a template row when the layer's
  // source file is a key, then a colour row when its tint is one.
  std::vector<TShopRow> Match(std::span<const TShopLayer> layers) const;

 private:
  void FillShops(TShopRow& row, std::string_view ids) const;

  std::vector<std::string> shops_;
  std::vector<std::string> partShops_;
};

// A tint as "partshops.txt" writes it: red, green and blue in decimal, ",".
std::string ShopColorKey(int color);

// Whether some row lists a shop with exactly this postal code (an empty code
// matches nothing).
bool ZipListed(std::span<const TShopRow> rows, std::string_view zip);

// Height of a grid row listing `shops` shops in lines of `textHeight`.
int ShopRowHeight(int shops, int textHeight);

// The shop line under y of a cell (top, height) listing `shops` lines; below the
// last line counts as the first. -1 when the cell lists none.
int ShopLineAt(int y, int cellTop, int cellHeight, int shops);
