// Downloaded elements are archives from a server: an interface item's parts
// joined into one set and unpacked, a message's or a question set's archive
// unpacked into its folder. Whatever the parts hold, files land only below the
// item's own folder (or the message's), nothing is left in the staging folder,
// the parts folder or the run's temporary folder, and an install that fails
// adds no interface file.
//
// The input holds, split by FuzzParts, the parts "part0.arh", "part1.arh" ...;
// part 0 is also unpacked alone as a message.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzFile.h"
#include "online/ElementDownload.h"
#include "picture/Archive.h"
#include "platform/FileIO.h"
#include "platform/Text.h"

namespace {

std::vector<std::string> Files(const fs::path& folder) {
  std::vector<std::string> files;
  ListFilesInTree(folder, "", files);
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path root = FuzzFolder() / "install";
  fs::remove_all(root);
  const fs::path parts = root / "Intfaces" / "skin1" / "item" / "Arh";
  const fs::path interfaces = root / "Intfaces";
  const std::vector<std::string_view> volumes = FuzzParts(data, size);
  for (std::size_t i = 0; i < volumes.size(); ++i)
    FuzzWriteFile(parts / ("part" + std::to_string(i) + ".arh"), volumes[i]);
  const fs::path message = root / "MESSAGES" / "m";
  fs::create_directories(message);
  ExtractArchive(parts / "part0.arh", message);

  const bool installed = InstallInterfaceParts(parts, interfaces, "Skin1").Ok();
  if (fs::exists(parts)) std::abort();
  for (const std::string& file : Files(root)) {
    const bool interfaceFile = StartsWithNoCase(file, "Intfaces\\skin1\\");
    if (!interfaceFile && !StartsWithNoCase(file, "MESSAGES\\m\\")) std::abort();
    if (interfaceFile && !installed) std::abort();
  }
  for (const std::string& folder : Files(interfaces))
    if (folder.find("~staging") != std::string::npos) std::abort();
  if (!Files(PrivateTempDir()).empty()) std::abort();
  return 0;
}
