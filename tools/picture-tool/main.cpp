// picture-tool: command-line access to the picture library, for tests, benchmarks
// and content authors.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "picture/Archive.h"
#include "picture/Bitmap32.h"
#include "picture/PictureFiles.h"
#include "picture/WorkFile.h"
#include "platform/ByteSource.h"
#include "platform/FileIO.h"

namespace {
int Usage() {
  std::fprintf(stderr,
               "usage: picture-tool info FILE\n"
               "       picture-tool convert IN OUT\n"
               "       picture-tool unpack-archive ARH DIR\n"
               "       picture-tool unpack-volumes BASE DIR   (BASE0.arh, BASE1.arh, ...)\n"
               "       picture-tool preview WORK OUT.jpg      (a work file's stored preview)\n");
  return 2;
}

bool Load(const char* file, TBitmap32& bitmap) {
  TFileResult<TBitmap32> loaded = LoadPictureFile(file);
  if (loaded) {
    bitmap = *std::move(loaded);
    return true;
  }
  std::fprintf(stderr, "picture-tool: cannot load %s: %s\n", file, loaded.Error().Reason().c_str());
  return false;
}

int Info(const char* file) {
  TBitmap32 bitmap;
  if (!Load(file, bitmap)) return 1;
  long long transparent = 0, opaque = 0, partial = 0;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) {
      auto a = AlphaOf(*bitmap.PixelPtr(x, y));
      if (a == 0) ++transparent;
      else if (a == 255) ++opaque;
      else ++partial;
    }
  std::printf("width %d\nheight %d\nalpha0 %lld\nalpha255 %lld\nalphaother %lld\n", bitmap.Width(),
              bitmap.Height(), transparent, opaque, partial);
  return 0;
}

int Convert(const char* in, const char* out) {
  TBitmap32 bitmap;
  if (!Load(in, bitmap)) return 1;
  if (SavePictureFile(bitmap, out)) return 0;
  std::fprintf(stderr, "picture-tool: cannot save %s\n", out);
  return 1;
}

int Unpack(bool volumes, const char* archive, const char* dir) {
  const TFileResult<> extracted = volumes ? ExtractMultiVolumeArchive(archive, dir) : ExtractArchive(archive, dir);
  if (extracted) return 0;
  std::fprintf(stderr, "picture-tool: cannot extract %s\n", extracted.Error().Text().c_str());
  return 1;
}
// A container is told by its signature, whatever its name: the windows go by the
// product's extensions, which this tool does not know.
int Preview(const char* work, const char* out) {
  static constexpr std::uint8_t kContainer[] = {0xD0, 0xCF, 0x11, 0xE0};
  const std::unique_ptr<TByteSource> file = TByteSource::OpenFile(work);
  ByteBuffer held;
  const std::uint8_t* head = file && file->Size() >= 4 ? file->Get(0, 4, held) : nullptr;
  const bool container = head && std::equal(kContainer, kContainer + 4, head);
  const TFileResult<std::vector<std::uint8_t>> jpeg = container ? LoadCompoundWorkPreview(work) : LoadWorkPreview(work);
  if (!jpeg) {
    std::fprintf(stderr, "picture-tool: no preview in %s\n", jpeg.Error().Text().c_str());
    return 1;
  }
  if (const TFileResult<> written = WriteFileAtomic(out, *jpeg); !written) {
    std::fprintf(stderr, "picture-tool: cannot save %s\n", written.Error().Text().c_str());
    return 1;
  }
  return 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "info") == 0) return Info(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "convert") == 0) return Convert(argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "unpack-archive") == 0) return Unpack(false, argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "unpack-volumes") == 0) return Unpack(true, argv[2], argv[3]);
  if (argc == 4 && std::strcmp(argv[1], "preview") == 0) return Preview(argv[2], argv[3]);
  return Usage();
}
