#pragma once
// The main window's default pictures besides its skin: the two panel skins, the
// six mode banners, and the button and slider sheets laid out as the window's
// design table expects.
#include <string>
#include <vector>

#include "picture/Bitmap32.h"

struct TSkinPictureFile {
  std::string Name;
  TBitmap32 Picture;
};

std::vector<TSkinPictureFile> MainSkinFiles();
