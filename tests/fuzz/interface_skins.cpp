// A downloaded interface names its skin pictures in its info file: whatever it
// names, the files looked at lie inside that interface's folder or the default
// interface's, never elsewhere on the machine.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "FuzzFile.h"
#include "platform/ProgramFolders.h"
#include "platform/TextFile.h"
#include "shell/InterfaceInfo.h"
#include "shell/SkinFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fs::path exe = FuzzFolder() / "exe";
  // Named as writable: no probe each run, and no user's folder read before it.
  SetProgramFolders(exe, true);
  // Made and freed in each run: memory kept from run to run sets off the
  // fuzzer's leak search, which costs more than the run.
  TInterface downloaded;
  downloaded.Dir = "Intfaces\\";
  downloaded.Name = "Downloaded\\";
  downloaded.ResolutionIndex = 2;
  const fs::path interfaces = exe / "Intfaces";
  try {
    downloaded.Info.LoadLines(SplitLines(DecodeText(std::span<const std::uint8_t>(data, size))));
  } catch (const EErrorInInfoFile&) {
    return 0;
  }
  auto inside = [&](const fs::path& file) {
    return FuzzInside(interfaces / "Downloaded", file) || FuzzInside(interfaces / "DEFAULT", file);
  };
  auto check = [&](const fs::path& file, TBitmap32&) {
    if (!inside(file)) std::abort();
    return false;
  };
  const TSkinLoaders loaders{check, check};
  for (const TParamInfoRecord& r : downloaded.Info.Params()) {
    // Any value may name a picture; windows look theirs up as "Form.Skin" and
    // "FormButtons".
    for (const fs::path& file : SkinCandidates(downloaded, downloaded.Name, r.Value))
      if (!inside(file)) std::abort();
    if (r.Param != "SKIN" && !r.Param.ends_with("BUTTONS")) continue;
    TBitmap32 bitmap;
    std::string key;
    for (const std::string* part : {&r.Section, &r.Object})
      if (!part->empty()) key += *part + ".";
    FindSkinBitmap(bitmap, downloaded, key + r.Param, "Main.psd", true, loaders);
  }
  return 0;
}
