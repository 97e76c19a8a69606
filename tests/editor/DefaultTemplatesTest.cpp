// The installation's templates: the catalogue names files that exist, pictures
// with real alpha, regions where a template has distinct parts, placed around the
// default face.
#include <gtest/gtest.h>

#include <set>

#include "editor/TemplateBase.h"
#include "editor/TemplateGrid.h"
#include "picture/Mask.h"
#include "picture/PsdFile.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "support/TestPaths.h"

TEST(DefaultTemplates, CatalogueAndPictures) {
  const fs::path root = BuildDir() / "Tressary";
  if (!fs::exists(root / "PartBase.txt")) GTEST_SKIP() << "the templates are drawn only in builds with Qt";
  SetProgramFolders(root);
  TTemplateBase base;
  base.LoadTypes(TIniFile(root / "Tressary.ini", false));
  std::vector<std::string> warnings;
  ASSERT_TRUE(base.LoadList(root, [&](const std::string& w) { warnings.push_back(w); }));
  EXPECT_TRUE(warnings.empty());
  ASSERT_GE(base.List.size(), 40u);

  std::set<int> types;
  int withRegions = 0;
  for (const TPartInfoRecord& entry : base.List) {
    SCOPED_TRACE(entry.FileName);
    types.insert(entry.PartType);
    ASSERT_NE(FindTemplateType(entry.PartType, base.Types), nullptr);
    const auto path = FindTemplateFile(TemplateApplyFolders(TContentFolders{}), entry.FileName);
    ASSERT_TRUE(path.has_value());
    TBitmap32 picture;
    ASSERT_TRUE(LoadPsdPicture(*path, picture));
    // Soft edges: clear, opaque and partly transparent pixels all occur.
    std::size_t clear = 0, solid = 0, soft = 0;
    for (int y = 0; y < picture.Height(); ++y)
      for (int x = 0; x < picture.Width(); ++x) {
        const int a = AlphaOf(picture.Pixel(x, y));
        (a == 0 ? clear : a == 255 ? solid : soft) += 1;
      }
    const std::size_t all = std::size_t(picture.Width()) * std::size_t(picture.Height());
    EXPECT_GT(clear, all / 10);
    EXPECT_GT(soft, all / 100);
    EXPECT_GT(solid + soft, all / 20);
    // A face template lies over the default face: its middle near the eyes' middle.
    const double middle = entry.X + picture.Width() / 2.0;
    EXPECT_NEAR(middle, 89 / 2.0, 15);
    const fs::path maskFile = fs::path(*path).replace_extension(".msk");
    if (fs::exists(maskFile)) {
      TMask mask;
      mask.SetBitmap(&picture);
      EXPECT_EQ(mask.LoadFromFile(maskFile.string()), TMaskLoad::Loaded);
      EXPECT_GE(mask.GetUsedRegions().size(), 2u);
      ++withRegions;
    }
  }
  EXPECT_GE(types.size(), 5u);
  EXPECT_GE(withRegions, 10);
  SetProgramFolders({});
}
