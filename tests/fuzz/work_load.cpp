// Works come from users and the online gallery: loading any file, header lines
// and layers included, must end with the file's layers (some perhaps left out
// with a message) or a message, and never harm the desk it loads onto.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "FuzzFile.h"
#include "exchange/WorkFiles.h"
#include "shell/ProductInfo.h"
#include "support/FakeDeskOwner.h"

namespace {
class QuietPorts : public IWorkPorts {
 public:
  int AskYesNo(std::string_view, std::string_view) override { return 6; }
  void ShowMessage(std::string_view, std::string_view, const std::string&) override {}
  void SetChanged(TChangeKind) override {}
  TSavedFlags& Saved() override { return saved_; }
  void SetBusy(bool) override {}
  void ProcessMessages() override {}
  void ShowDesk() override {}
  void EnsureDeskMode() override {}
  void RefreshLayerList() override {}
  void SetPortraitBitmap(const TBitmap32&) override {}

 private:
  TSavedFlags saved_;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SetSmallDesk(200, 200, 300, 300);
  DeskFixture fixture;
  QuietPorts ports;
  TWorkFiles files(fixture.desk, ports);
  // A compound file is the uncompressed form; anything else is tried as compressed.
  static constexpr std::uint8_t kCompoundMagic[] = {0xD0, 0xCF, 0x11, 0xE0};
  const bool container = size >= 4 && std::memcmp(data, kCompoundMagic, 4) == 0;
  const auto file = FuzzInputFile(data, size, "work" + (container ? UncompressedWorkExt : CompressedWorkExt));
  const TFileResult<> result = files.LoadWorkFromFile(file);
  if (!result && result.Error().Cause == TFileFault::NoSuchFile) std::abort();
  for (int i = 0; i < fixture.desk.LayerCount(); ++i) {
    const TLayer& layer = fixture.desk.Layer(i);
    if (layer.Picture.ByteSize() != std::size_t(layer.Picture.Width()) * std::size_t(layer.Picture.Height()) * 4)
      std::abort();
  }
  return 0;
}
