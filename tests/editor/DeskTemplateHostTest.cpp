// Templates on the real desk: replacing a type deletes only that type's layers.
#include <gtest/gtest.h>

#include "editor/DeskTemplateHost.h"
#include "picture/PsdFile.h"
#include "support/FakeDeskOwner.h"
#include "support/TestPaths.h"

TEST(DeskTemplateHost, ReplaceSameTypeDeletesOnlyThatType) {
  SetSmallDesk(200, 200, 400, 400);
  const auto types = ParseTemplateTypes({"1=1;HairW;Hair;40;F;", "2=4;Hats;Hats;60;F;"});
  DeskFixture f;
  TLayer& portrait = f.Add(50, 50, Color32(200, 150, 120, 255), 0, 0, 0, "Portrait");
  portrait.TypeId = 1;  // the special slot keeps it whatever its type
  f.desk.SetPortraitLayer(&portrait);
  f.Add(10, 10, Color32(1, 1, 1, 255), 0, 0, 40, "Old hair").TypeId = 1;
  f.Add(10, 10, Color32(2, 2, 2, 255), 0, 0, 40, "Older hair").TypeId = 1;
  f.Add(10, 10, Color32(3, 3, 3, 255), 0, 0, 60, "Hat").TypeId = 4;

  TDeskTemplateHost host(f.desk, f.owner);
  int mode = 0;
  host.GetDeskMode = [&] { return mode; };
  host.ChangeDeskMode = [&](int m) { mode = m; };
  f.desk.Points.Face = {100, 120};
  // A template file with its regions beside it.
  TempFolder folder;
  TBitmap32 picture(30, 20, Color32(90, 60, 30, 255));
  ASSERT_TRUE(SavePsdFile(picture, folder / "Bob.psd"));
  TMask regions;
  regions.SetBitmap(&picture);
  regions.Map().At(3, 4) = 2;
  regions.FileName = (folder / "Bob.msk").string();
  ASSERT_TRUE(regions.SaveToFile());
  const TPartInfoRecord entry{1, -10, -50, "HairW\\Bob.psd", "Bob", ""};
  const auto applied = ApplyTemplate(host, types, entry, (folder / "Bob.psd").string(), {tkFace, {}, true});
  ASSERT_TRUE(applied) << applied.Error().Text();
  EXPECT_EQ(*applied, std::nullopt);

  std::vector<std::string> captions;
  for (int i = 0; i < f.desk.LayerCount(); ++i) captions.push_back(f.desk.Layer(i).Caption);
  // Stacked by level: the hat above the new hair above the portrait.
  EXPECT_EQ(captions, (std::vector<std::string>{"Hat", "Bob", "Portrait"}));
  EXPECT_EQ(f.desk.SelectedIndex(), 1);
  const TLayer& bob = f.desk.Layer(1);
  EXPECT_EQ(bob.TypeId, 1);
  EXPECT_EQ(bob.Left, 90);
  EXPECT_EQ(bob.Top, 70);
  EXPECT_EQ(bob.Level(), 40);
  EXPECT_EQ(bob.Mask.UsedRegions(), std::vector<int>{2});
  EXPECT_EQ(mode, 1);
  EXPECT_EQ(f.owner.changes.back(), ckLayerAdded);
}
