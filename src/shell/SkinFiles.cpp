#include "shell/SkinFiles.h"

#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "shell/InterfaceInfo.h"

namespace {

bool IsProgramPicture(std::string_view fileName) {
  std::string ext = LowerAscii(ExtractFileExt(fileName));
  return ext == ".psd" || ext == ".fll" || ext == ".fcc";
}

bool TryLoad(TBitmap32& bitmap, const TInterface& used, std::string_view interfaceName, std::string_view fileName,
             const TSkinLoaders& loaders) {
  const TSkinFileLoader& loader = IsProgramPicture(fileName) ? loaders.Picture : loaders.Other;
  if (!loader) return false;
  for (const fs::path& file : SkinCandidates(used, interfaceName, fileName)) {
    TBitmap32 candidate;
    try {
      if (!loader(file, candidate) || candidate.Empty()) continue;
    } catch (const std::exception&) {
      continue;
    }
    bitmap = std::move(candidate);
    return true;
  }
  return false;
}

}  // namespace

std::vector<fs::path> SkinCandidates(const TInterface& used, std::string_view interfaceName,
                                    std::string_view fileName) {
  std::vector<fs::path> files;
  // Interfaces are downloaded: their pictures are theirs, never other files.
  if (!SafeRelativePath(fileName)) return files;
  for (int i = used.ResolutionIndex; i >= 1; --i)
    files.push_back(ProgramFileForReading(fs::path(InstallationFolder()), used.Dir + std::string(interfaceName) +
                                SkinResolutions[i - 1].DirName + std::string(fileName)));
  return files;
}

bool FindSkinBitmap(TBitmap32& bitmap, const TInterface& used, std::string_view key, std::string_view defaultFile,
                    bool useDefault, const TSkinLoaders& loaders) {
  bitmap.Reset();
  std::string fileName = used.Info.Value(key);
  if (!fileName.empty() && TryLoad(bitmap, used, used.Name, fileName, loaders)) return true;
  if (useDefault && !defaultFile.empty() && TryLoad(bitmap, used, "DEFAULT\\", defaultFile, loaders)) return true;
  return false;
}

std::string SkinLoadErrorText(std::string_view defaultFile) {
  return "Cannot load bitmap from file " + std::string(defaultFile);
}
