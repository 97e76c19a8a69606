// picture-tool: command-line access to the picture library, for tests, benchmarks
// and content authors.
#include <Magick++.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "picture/Bitmap32.h"

namespace {
int Usage() {
  std::fprintf(stderr, "usage: picture-tool info FILE\n");
  return 2;
}

bool LoadAny(const char* file, TBitmap32& out) {
  try {
    Magick::Image image;
    image.read(file);
    int w = static_cast<int>(image.columns()), h = static_cast<int>(image.rows());
    if (!out.SetSize(w, h)) return false;
    image.write(0, 0, image.columns(), image.rows(), "BGRA", Magick::CharPixel, out.Bits());
    return true;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "picture-tool: %s\n", e.what());
    return false;
  }
}

int Info(const char* file) {
  TBitmap32 bitmap;
  if (!LoadAny(file, bitmap)) {
    std::fprintf(stderr, "picture-tool: cannot load %s\n", file);
    return 1;
  }
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
}  // namespace

int main(int argc, char** argv) {
  Magick::InitializeMagick(nullptr);
  if (argc == 3 && std::strcmp(argv[1], "info") == 0) return Info(argv[2]);
  return Usage();
}
