#include <gtest/gtest.h>

#include "support/TestPaths.h"

// Lives with the window tests: the sheets are drawn by a Qt tool.
// The message box's default button sheet as an independent reader sees it: every
// frame has real alpha (clear, soft and opaque pixels), and the normal, hover and
// pressed frames of a button differ.
TEST(DefaultSkins, MessageBoxButtonSheetReadsBackWithPsdTools) {
  const std::string script = R"PY(
import sys
from psd_tools import PSDImage
sheet = PSDImage.open(sys.argv[1]).composite().convert('RGBA')
assert sheet.size == (144, 68), sheet.size
frames = [(x * 48, 0, 48, 24) for x in range(3)] + [(x * 48, 24, 48, 24) for x in range(3)] + \
         [(x * 19, 48, 19, 20) for x in range(3)]
faces = []
for (left, top, w, h) in frames:
    alphas = [sheet.getpixel((left + x, top + y))[3] for y in range(h) for x in range(w)]
    assert min(alphas) == 0 and max(alphas) == 255, (left, top)
    assert any(0 < a < 255 for a in alphas), (left, top)
    faces.append(sheet.getpixel((left + (6 if w == 48 else 5), top + h // 2)))
for row in range(3):
    assert len(set(faces[row * 3:row * 3 + 3])) == 3, faces[row * 3:row * 3 + 3]
print('ok')
)PY";
  TempFolder temp;
  WriteTestFile(temp / "check.py", script);
  for (const char* folder : {"1024-768", "800-600"}) {
    const fs::path sheet = BuildDir() / "Tressary/Intfaces/DEFAULT" / folder / "FormMessBtn.psd";
    std::string output;
    const int status = RunCommand("/usr/bin/python3 " + (temp / "check.py").string() + " " + sheet.string() + " 2>&1",
                                  &output);
    EXPECT_EQ(status, 0) << folder << ": " << output;
    EXPECT_EQ(output, "ok\n") << folder;
  }
}
