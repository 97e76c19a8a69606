#include "editor/CatalogIndex.h"

#include "platform/FileIO.h"
#include "platform/Paths.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "shell/ShellGlobals.h"

std::vector<TCatalogInfo> CatalogIndex;

namespace {

// Far above any real index; a larger file is not an index.
constexpr std::size_t kMaxIndexBytes = 16u << 20;

char UpperKind(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }

}  // namespace

void LoadCatalogIndex() { LoadCatalogIndex(ResolvePath(fs::path(ExePath), "Catalog.txt")); }

void LoadCatalogIndex(const fs::path& file) {
  CatalogIndex.clear();
  const auto bytes = ReadFileBytes(file, kMaxIndexBytes);
  if (!bytes) return;
  for (const TextRecord& record : TextRecords(DecodeText(*bytes))) {
    const std::string kind = Field(record.text, 1);
    if (kind.empty()) continue;
    const char k = UpperKind(kind.front());
    if (k != 'M' && k != 'P' && k != 'T') continue;
    std::string page = UpperAscii(Field(record.text, 3));
    if (!page.empty() && ExtractFileExt(page).empty()) page += ".htm";
    CatalogIndex.push_back({k, UpperAscii(Field(record.text, 2)), std::move(page)});
  }
}

std::string FindCatalogPage(char kind, std::string_view name) {
  const char k = UpperKind(kind);
  for (const TCatalogInfo& entry : CatalogIndex) {
    if (entry.Kind != k) continue;
    const bool matches = k == 'T' ? ContainsNoCase(name, entry.Name) || ContainsNoCase(entry.Name, name)
                                  : EqualsNoCase(entry.Name, name);
    if (matches) return entry.Page;
  }
  return {};
}
