// A publisher's index comes from a server: whatever it holds, the analysis must
// end, offer only names that stay inside the program's folder, and keep the
// settings it merges into well-formed.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string_view>

#include "online/ElementIndex.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TIniFile ini = TIniFile::FromText(
      "[TEMPLATE TYPES]\nType1=1;HairW;Hair;40;F;\n[Publishers]\nServer1=http://a.example/;A;a;\n"
      "[MODEL TYPES]\nType1=Classic;Classic\n");
  const TDownloadSettings settings = ReadDownloadSettings(ini);
  // Read as it arrives, cut anywhere (a line end, a character), the index gives
  // the sections it gives read whole.
  const std::vector<std::string> lines = SplitLines(DecodeText(std::span(data, size)));
  const TIndexSections whole = IndexSections(lines);
  TIndexReader reader;
  const std::size_t cut = size ? data[0] % (size + 1) : 0;
  reader.Add(text.substr(0, cut));
  reader.Add(text.substr(cut));
  if (reader.Finish().Found != whole.Found) std::abort();
  // No program folder: the local lists read as empty.
  const TNewElements found = AnalyzeIndex(whole, ini, settings, "/nonexistent/tressary-fuzz");
  for (const TElementRecord& record : found.Templates)
    if (!SafeRelativePath(record.Field(4))) std::abort();
  for (const TInterfaceItem& item : found.Interfaces)
    if (!SafeRelativePath(item.ElementFolder(settings)) || item.PartCount < 1 || item.PartCount > kMaxArchiveParts)
      std::abort();
  for (const TMessageRecord& message : found.Messages)
    if (!SafeRelativePath(message.Folder)) std::abort();
  if (found.QuerySet && !SafeRelativePath(found.QuerySet->Name)) std::abort();
  return 0;
}
