#include "editor/ShopList.h"

#include <algorithm>
#include <optional>

#include "platform/FileIO.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

namespace {

constexpr int kMaxShopIds = 100;
// Far above any real list; a larger file is not one.
constexpr std::size_t kMaxListBytes = 16u << 20;

std::optional<std::vector<std::string>> Records(const fs::path& file) {
  const auto bytes = ReadFileBytes(file, kMaxListBytes);
  if (!bytes) return std::nullopt;
  std::vector<std::string> lines;
  for (TextRecord& record : TextRecords(DecodeText(*bytes))) lines.push_back(std::move(record.text));
  return lines;
}

// Template keys are stored paths: "\\" and "/" name the same folder.
bool SameKey(std::string_view a, std::string_view b) {
  std::string x = UpperAscii(Trim(a)), y = UpperAscii(Trim(b));
  std::replace(x.begin(), x.end(), '/', '\\');
  std::replace(y.begin(), y.end(), '/', '\\');
  return x == y;
}

}  // namespace

bool TShopList::Load(const fs::path& shopsFile, const fs::path& partShopsFile) {
  auto shops = Records(shopsFile);
  auto partShops = Records(partShopsFile);
  if (!shops || !partShops) {
    SetLines({}, {});
    return false;
  }
  SetLines(std::move(*shops), std::move(*partShops));
  return true;
}

void TShopList::SetLines(std::vector<std::string> shops, std::vector<std::string> partShops) {
  shops_ = std::move(shops);
  partShops_ = std::move(partShops);
}

void TShopList::FillShops(TShopRow& row, std::string_view ids) const {
  const std::vector<std::string> parts = SplitFields(ids, ',');
  for (std::size_t i = 0; i < parts.size() && int(i) < kMaxShopIds; ++i) {
    const std::string id = Trim(parts[i]);
    if (id.empty()) break;
    const auto shop = std::find_if(shops_.begin(), shops_.end(),
                                   [&](const std::string& line) { return EqualsNoCase(Field(line, 1), id); });
    const std::string line = shop == shops_.end() ? std::string() : *shop;
    row.Zips.push_back(Field(line, 2));
    row.Shops.push_back(Field(line, 3));
    row.Urls.push_back(Field(line, 4));
  }
}

std::vector<TShopRow> TShopList::Match(std::span<const TShopLayer> layers) const {
  std::vector<TShopRow> rows;
  auto find = [this](std::string_view key) -> const std::string* {
    // An empty key would match every line without a key.
    if (Trim(key).empty()) return nullptr;
    for (const std::string& line : partShops_)
      if (SameKey(Field(line, 1), key)) return &line;
    return nullptr;
  };
  for (std::size_t i = 0; i < layers.size(); ++i) {
    const TShopLayer& layer = layers[i];
    if (layer.SourceFile.empty()) continue;
    auto add = [&](const std::string& line, bool isColor) {
      TShopRow row;
      row.Line = line + (isColor ? ";1;" : ";0;");
      row.IsColor = isColor;
      row.Layer = int(i);
      row.Color = isColor ? layer.Color : -1;
      FillShops(row, Field(line, 2));
      rows.push_back(std::move(row));
    };
    if (const std::string* line = find(layer.SourceFile)) add(*line, false);
    // An untinted layer has no colour to buy.
    if (layer.Color < 0) continue;
    if (const std::string* line = find(ShopColorKey(layer.Color))) add(*line, true);
  }
  return rows;
}

std::string ShopColorKey(int color) {
  return std::to_string(color & 0xFF) + "," + std::to_string((color >> 8) & 0xFF) + "," +
         std::to_string((color >> 16) & 0xFF);
}

bool ZipListed(std::span<const TShopRow> rows, std::string_view zip) {
  if (zip.empty()) return false;
  return std::any_of(rows.begin(), rows.end(), [zip](const TShopRow& row) {
    return std::find(row.Zips.begin(), row.Zips.end(), zip) != row.Zips.end();
  });
}

int ShopRowHeight(int shops, int textHeight) { return std::max(55, shops * textHeight) + 3 * shops; }

int ShopLineAt(int y, int cellTop, int cellHeight, int shops) {
  if (shops <= 0) return -1;
  const int lineHeight = cellHeight / shops;
  if (lineHeight <= 0) return 0;
  const int line = (y - cellTop) / lineHeight;
  return line < 0 || line >= shops ? 0 : line;
}
