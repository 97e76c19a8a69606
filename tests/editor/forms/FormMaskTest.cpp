// The ready solutions over the installation's content: the types, the looks of a
// type, a model's parts, and applying them against the face point.
#include <gtest/gtest.h>

#include <QComboBox>

#include "FakeTemplateDesk.h"
#include "editor/forms/FormMask.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/MainSettings.h"
#include "support/TestPaths.h"

namespace {

class FormMaskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetProgramFolders(BuildDir() / "Tressary");
    settings_.Ini = TIniFile(InstallationFolder() + "Tressary.ini", false);
    form_.Desk = &desk_;
    form_.ShowMessage = [this](const std::string& key) { messages_.push_back(key); };
  }
  void TearDown() override {
    form_.close();
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  TMainSettings settings_;
  FakeTemplateDesk desk_;
  std::vector<std::string> messages_;
  TFormMask form_{settings_};
};

TEST_F(FormMaskTest, TheInstalledLooksShowByTypeAndApplyAtTheFacePoint) {
  form_.show();
  ASSERT_EQ(form_.ComboBox->count(), 2);
  EXPECT_EQ(form_.ComboBox->itemText(0).toStdString(), "Ready looks for women");
  ASSERT_EQ(form_.ModelThumbs().size(), 3u);
  form_.ShowModelParts(0);
  const TModel& look = form_.Groups()[0].Models[0];
  ASSERT_EQ(form_.PartThumbs().size(), look.Parts.size());
  // Without a fitted portrait nothing is applied, and the user is told once.
  EXPECT_EQ(form_.ApplyModelClick(0, false), -1);
  EXPECT_EQ(messages_, (std::vector<std::string>{"MessageFaceIsNotAdjusted"}));
  EXPECT_TRUE(desk_.layers.empty());
  desk_.points.Face = {300, 200};
  EXPECT_GE(form_.ApplyModelClick(0, false), 0);
  ASSERT_EQ(desk_.layers.size(), look.Parts.size());
  for (std::size_t i = 0; i < look.Parts.size(); ++i) {
    EXPECT_EQ(desk_.layers[i]->Left, 300 + look.Parts[i].X);
    EXPECT_EQ(desk_.layers[i]->Top, 200 + look.Parts[i].Y);
    EXPECT_EQ(desk_.layers[i]->Level(), look.Parts[i].Level);
  }
  EXPECT_TRUE(desk_.deletedTypes.empty());
  // A part alone, Ctrl held: the face parts go first.
  EXPECT_GE(form_.ApplyPartClick(1, true), 0);
  EXPECT_EQ(desk_.deletedTypes, (std::vector<int>{0}));
  EXPECT_EQ(desk_.layers.back()->Caption, look.Parts[1].Caption);
  // The men's looks replace the women's thumbnails.
  form_.ComboBoxChange(1);
  EXPECT_EQ(form_.ModelThumbs().size(), 3u);
  EXPECT_EQ(form_.CurrentModel(), -1);
  EXPECT_TRUE(form_.PartThumbs().empty());
}

}  // namespace
