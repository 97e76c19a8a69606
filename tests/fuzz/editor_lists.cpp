// The editor's lists come with content packages and downloads ("Models.txt",
// "PalData.txt", "shops.txt" and "partshops.txt", the settings' "MUSIC" and
// "MODEL TYPES" sections), all lines of ";"-fields. Each reads the same bytes:
// model parts must name files only inside their folder, palettes stay within
// their size, shop rows keep one entry per id, the play list always ends.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFile.h"
#include "editor/BackgroundMusic.h"
#include "editor/ModelList.h"
#include "editor/Palette.h"
#include "editor/ShopList.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"

namespace {

void Models(const std::vector<std::string>& lines, const TIniFile& ini) {
  const fs::path folder = FuzzFolder() / "models";
  static const bool made = [&] {
    FuzzWriteFile(folder / "Models" / "Part.psd", "part");
    return true;
  }();
  (void)made;
  std::vector<TModelType> types = ParseModelTypes(ini.ReadSectionValues("MODEL TYPES"));
  types.push_back({"Classic", "Classic"});
  for (const TModelGroup& group : GroupModels(types, lines))
    for (const TModel& model : group.Models)
      for (const TModelPart& part : model.Parts)
        if (const auto file = FindModelFile({folder.string()}, part.File); file && !FuzzInside(folder, *file))
          std::abort();
}

void Palettes(const fs::path& file, const std::vector<std::string>& lines) {
  TPalette palette;
  palette.Read(file);
  for (int i = 0; i < 3 && i < palette.PaletteCount; ++i) {
    if (palette.Colors.size() > std::size_t(kMaxPaletteColors)) std::abort();
    for (int rows : {1, 3})
      for (int index : PaletteSlots(palette, rows, 7).Slot)
        if (index >= int(palette.Colors.size())) std::abort();
    palette.Next(file);
  }
  for (const std::string& line : lines) PalettePlaces(line, 2);
}

void Shops(const fs::path& file, const std::vector<std::string>& lines) {
  TShopList list;
  if (!list.Load(file, file)) std::abort();
  std::vector<TShopLayer> layers;
  for (const std::string& line : lines) layers.push_back({line.substr(0, line.find(';')), line.size() % 2 ? -1 : int(line.size() & 0xFFFFFF)});
  for (const TShopRow& row : list.Match(layers))
    if (row.Shops.size() != row.Urls.size() || row.Zips.size() != row.Urls.size() || row.Urls.size() > 100 ||
        row.Layer < 0 || std::size_t(row.Layer) >= layers.size())
      std::abort();
}

void Music(const TIniFile& ini) {
  const TMusicList list = ReadMusicList(ini, "/music/");
  for (const auto& entry : list) {
    StoredMusicPath(entry->FileName, "/music/");
    StoredMusicPath(entry->FileName, "/music");
  }
  const TMusicFileInfo* first = GetNextMusicInfo(list, nullptr);
  const TMusicFileInfo* at = first;
  for (std::size_t steps = 0; at; ++steps) {
    if (!at->Playable() || steps > list.size()) std::abort();
    at = GetNextMusicInfo(list, at);
    if (at == first) break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path file = FuzzInputFile(data, size, "list.txt");
  const std::vector<std::string> lines = SplitLines(DecodeText(std::span<const std::uint8_t>(data, size)));
  const TIniFile ini = TIniFile::FromText(std::string_view(reinterpret_cast<const char*>(data), size));
  Models(lines, ini);
  Palettes(file, lines);
  Shops(file, lines);
  Music(ini);
  return 0;
}
