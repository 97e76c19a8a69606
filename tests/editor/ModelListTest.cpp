#include "editor/ModelList.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "editor/DeskTemplateHost.h"
#include "picture/PsdFile.h"
#include "support/FakeDeskOwner.h"
#include "support/TestPaths.h"

namespace {

using Lines = std::vector<std::string>;

std::vector<std::string> Names(const TModelGroup& group) {
  std::vector<std::string> out;
  for (const TModel& model : group.Models) out.push_back(model.Header.Name);
  return out;
}

TEST(ModelList, GroupsByTypeTextAndLeavesOutWhatCannotBeShown) {
  const std::vector<TModelType> types =
      ParseModelTypes({"Type1= W ; Women ", "Type2=M;Men;", "Type3=W2;Women", "Type9=Empty;Nobody", "X=;No key", "Bare"});
  ASSERT_EQ(types.size(), 4u);
  EXPECT_EQ(types[0].Key, "W");
  const Lines lines = {
      "# a comment",
      "[Bob;x;bob.bmp;A short bob;W]",
      "1;-10;-20;Hair\\bob.psd;Bob;40",
      "x",  // one character: skipped
      "# 1;0;0;Hair\\fringe.psd;Fringe;50",
      "*1;0;0;Hair\\band.psd;Band;60",  // an asterisk: no part however complete
      "[Lost;x;lost.bmp;Unknown type;Kids]",
      "1;0;0;Hair\\bob.psd;Bob;40",
      "[Bare;x;bare.bmp;No parts;W]",
      "1;zero;0;Hair\\bob.psd;Bad x;40",    // not a number: rejected, not 0
      "1;0;0;Hair\\bob.psd;Bad level;top",  // likewise
      "1;0;0;Hair\\bob.psd;Short",          // four ";"
      "[Short;x;short.bmp;Four fields]",
      "1;0;0;Hair\\bob.psd;Bob;40",
      "[Crew;x;crew.bmp;Crew cut;M]",
      "  1 ; 5 ; -6 ; Hair\\crew.psd ; Crew ; 30 ; trailing  ",
      "[Pixie;x;pixie.bmp;A pixie;W2]",
      "1;0;0;Hair\\pixie.psd;Pixie;40",
      "2;0;8;Hair\\band.psd;Band;45",
  };
  const std::vector<TModelGroup> groups = GroupModels(types, lines);
  ASSERT_EQ(groups.size(), 2u);
  // "W" and "W2" share the text "Women": one entry, the lists merged in type order.
  EXPECT_EQ(groups[0].Text, "Women");
  EXPECT_EQ(Names(groups[0]), (Lines{"Bob", "Pixie"}));
  EXPECT_EQ(groups[1].Text, "Men");
  EXPECT_EQ(Names(groups[1]), (Lines{"Crew"}));
  // The short or starred lines did not become parts; the header parts ended at "[".
  ASSERT_EQ(groups[0].Models[0].Parts.size(), 1u);
  EXPECT_EQ(groups[0].Models[0].Header.Hint, "A short bob");
  EXPECT_EQ(groups[0].Models[1].Parts.size(), 2u);
  const TModelPart& crew = groups[1].Models[0].Parts[0];
  EXPECT_EQ(crew.X, 5);
  EXPECT_EQ(crew.Y, -6);
  EXPECT_EQ(crew.File, "Hair\\crew.psd");
  EXPECT_EQ(crew.Caption, "Crew");
  EXPECT_EQ(crew.Level, 30);
  EXPECT_FALSE(ParseMaskRecord(""));
  EXPECT_FALSE(ParseModelListHeader("[]"));
  EXPECT_TRUE(GroupModels({}, lines).empty());
  EXPECT_TRUE(GroupModels(types, {}).empty());
}

TEST(ModelList, PartFilesAreFoundInFolderOrderAndNeverOutsideThem) {
  TempFolder root;
  const std::string hd = (root / "hd").string() + "/", exe = (root / "exe").string() + "/";
  WriteTestFile(root / "hd/Hair/Bob.psd", "hd");
  WriteTestFile(root / "exe/Hair/Bob.psd", "exe");
  WriteTestFile(root / "exe/Hair/Crew.psd", "exe");
  WriteTestFile(root / "secret.psd", "outside");
  EXPECT_EQ(FindModelFile({hd, exe}, "hair\\bob.psd"), root / "hd/Hair/Bob.psd");
  EXPECT_EQ(FindModelFile({hd, exe}, "Hair\\Crew.psd"), root / "exe/Hair/Crew.psd");
  EXPECT_FALSE(FindModelFile({hd, exe}, "Hair\\Gone.psd"));
  for (const std::string& bad : Lines{"..\\secret.psd", "Hair\\..\\..\\secret.psd", "../secret.psd",
                                (root / "secret.psd").string(), "C:\\secret.psd", "\\secret.psd"})
    EXPECT_FALSE(FindModelFile({hd, exe}, bad)) << bad;
}

class ModelApply : public ::testing::Test, public DeskFixture {
 protected:
  void SetUp() override {
    SetSmallDesk(200, 200, 400, 400);
    folders = {(root.Path() / "").string()};
    owner.folders = folders;
    fs::create_directories(root / "Hair");
    ASSERT_TRUE(SavePsdFile(TBitmap32(30, 20, Color32(90, 60, 30, 255)), root / "Hair/Bob.psd"));
    ASSERT_TRUE(SavePsdFile(TBitmap32(16, 8, Color32(200, 0, 0, 255)), root / "Hair/Band.psd"));
    // The imaging library reads the part in ".bmp"; Pillow writes it.
    const std::string bmp = (root / "Hair/Fringe.bmp").string();
    ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"from PIL import Image; "
                         "Image.new('RGB', (24, 6), (10, 20, 30)).save('" + bmp + "')\""),
              0);
  }
  // The offset and level of a model line, read here with sscanf.
  static std::array<int, 3> Expected(const std::string& line) {
    int x = 0, y = 0, level = 0;
    char file[64], caption[64];
    EXPECT_EQ(std::sscanf(line.c_str(), "%*[^;];%d;%d;%63[^;];%63[^;];%d", &x, &y, file, caption, &level), 5);
    return {x, y, level};
  }
  TempFolder root;
  std::vector<std::string> folders;
};

TEST_F(ModelApply, EachPartLandsAtTheFacePointPlusItsOffsetAtItsLevel) {
  TLayer& portrait = Add(300, 300, Color32(230, 190, 160, 255), 0, 0, 0, "Portrait");
  desk.SetPortraitLayer(&portrait);
  TLayer& old = Add(10, 10, Color32(0, 0, 0, 255), 0, 0, 40, "Old hair");
  old.TypeId = 0;
  const Lines lines = {"[Bob;x;bob.bmp;Bob;W]", "1;-15;-40;Hair\\Bob.psd;Bob;40", "2;-12;-30;Hair\\Fringe.bmp;Fringe;50",
                       "3;-8;-45;Hair\\Band.psd;Band;45", "4;0;0;Hair\\Gone.psd;Gone;60",
                       "5;0;0;Hair\\Broken.psd;Broken;55"};
  WriteTestFile(root / "Hair/Broken.psd", "not a picture");
  const std::vector<TModelGroup> groups = GroupModels({{"W", "Women"}}, lines);
  ASSERT_EQ(groups.size(), 1u);
  const TPoint face{150, 120};
  TDeskTemplateHost host(desk, owner);
  const int last = ApplyModel(host, groups[0].Models[0], folders, face, true);
  // Replacing: the old type-0 layer went, the portrait stayed.
  EXPECT_EQ(desk.IndexOfLayer(&portrait), desk.LayerCount() - 1);
  std::vector<std::string> order;
  for (int i = 0; i < desk.LayerCount(); ++i) order.push_back(desk.Layer(i).Caption);
  EXPECT_EQ(order, (Lines{"Fringe", "Band", "Bob", "Portrait"}));  // by level, the missing and damaged parts left out
  for (std::size_t n = 1; n <= 3; ++n) {
    const auto [x, y, level] = Expected(lines[n]);
    const std::string caption = Lines{"Bob", "Fringe", "Band"}[n - 1];
    int at = 0;
    while (at < desk.LayerCount() && desk.Layer(at).Caption != caption) ++at;
    ASSERT_LT(at, desk.LayerCount()) << caption;
    EXPECT_EQ(desk.Layer(at).Left, face.X + x) << caption;
    EXPECT_EQ(desk.Layer(at).Top, face.Y + y) << caption;
    EXPECT_EQ(desk.Layer(at).Level(), level) << caption;
    EXPECT_EQ(desk.Layer(at).TypeId, 0) << caption;
  }
  // The bitmap part has the imaging library's pixels.
  EXPECT_EQ(desk.Layer(0).Picture.Width(), 24);
  EXPECT_EQ(desk.Layer(0).Picture.Pixel(3, 3) & 0xFFFFFFu, Color32(10, 20, 30) & 0xFFFFFFu);
  // The last part made (the band) is selected.
  EXPECT_EQ(last, 1);
  EXPECT_EQ(desk.SelectedIndex(), 1);
  // Without replacing, a second look goes on top of the first.
  ApplyModel(host, groups[0].Models[0], folders, face, false);
  EXPECT_EQ(desk.LayerCount(), 7);
}

}  // namespace
