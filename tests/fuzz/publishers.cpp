// The publisher list comes from the ini, which content packages and users edit:
// any section must give publishers whose fields make URLs without harm.
#include <cstdint>
#include <string_view>

#include "online/OnlineServers.h"
#include "platform/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  TPublisher one;
  ParsePublisherRecord(text, one);
  const TIniFile ini = TIniFile::FromText("[Publishers]\n" + std::string(text));
  for (const TPublisher& publisher : ReadPublishers(ini)) {
    const std::string base = PublisherBaseUrl(publisher.Url);
    DownloadFileUrl(base, PublisherFilePath(publisher.Folder));
    DownloadFileUrl(base, PublisherIndexPath(publisher.Caption));
    ArchivePartPath(publisher.Folder, 1);
  }
  return 0;
}
