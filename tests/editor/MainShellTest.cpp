#include "editor/MainShell.h"

#include <gtest/gtest.h>

#include <set>

#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/ShellOpen.h"
#include "shell/ProductInfo.h"
#include "support/SaveGuarantee.h"
#include "support/TestPaths.h"
#include "support/TestTexts.h"
#include "support/RecordingOpener.h"

namespace {

class MainShellTest : public ::testing::Test {
 protected:
  void TearDown() override { SetShellOpener(nullptr); }
  TMainSettings settings;
};

}  // namespace

TEST_F(MainShellTest, SettingsDefaultsAndTheYesRule) {
  settings.CalibrationRed = 1;
  settings.PlayMusic = true;
  ReadMainSettings(TIniFile::FromText(""), settings);
  EXPECT_EQ(settings.CalibrationRed, 252);
  EXPECT_EQ(settings.CalibrationGreen, 217);
  EXPECT_EQ(settings.CalibrationBlue, 188);
  EXPECT_EQ(settings.MailServer, "");
  EXPECT_EQ(settings.MailPort, 25);
  EXPECT_EQ(settings.LeftRightMargin, 5);
  EXPECT_EQ(settings.TopBottomMargin, 10);
  EXPECT_FALSE(settings.ShowTips || settings.PlayMusic || settings.PlaySound);

  ReadMainSettings(TIniFile::FromText("[tips]\nShowTips=yes\n[MUSIC]\nPlayMusic=Y\n[SOUND]\nPlaySound= YES\n"
                                      "[CALIBRATION COLOR]\nRed=300\nGreen=-4\nBlue=$10\n[MAIL]\nServer=smtp.a.org\nPort=587\n"),
                   settings);
  EXPECT_TRUE(settings.ShowTips);      // any case
  EXPECT_FALSE(settings.PlayMusic);    // only YES turns a flag on
  EXPECT_TRUE(settings.PlaySound);     // blanks around "=" are not part of the value
  EXPECT_EQ(settings.CalibrationRed, 255);  // a colour stays a byte
  EXPECT_EQ(settings.CalibrationGreen, 0);
  EXPECT_EQ(settings.CalibrationBlue, 16);
  EXPECT_EQ(settings.MailServer, "smtp.a.org");
  EXPECT_EQ(settings.MailPort, 587);
}

TEST_F(MainShellTest, DataFolders) {
  const TIniFile ini = TIniFile::FromText(
      "[DIRECTORIES]\nLoadWorkDirName=Works ; x\nSaveImageDirName=Out\\Pictures\\\nHelpDirName=;Help\n");
  EXPECT_EQ(DataFolderName(ini, "LoadWorkDirName", "Works"), "Works\\");
  EXPECT_EQ(DataFolderName(ini, "SaveImageDirName", "ImageOut"), "Out\\Pictures\\");
  EXPECT_EQ(DataFolderName(ini, "LoadImageDirName", "ImageIn"), "ImageIn\\");
  ReadDataFolders(ini, settings);
  EXPECT_EQ(settings.LoadWorkDir, "Works\\");
  EXPECT_EQ(settings.SaveWorkDir, "Works\\");
  EXPECT_EQ(settings.SaveImageDir, "Out\\Pictures\\");
  EXPECT_EQ(settings.CatalogDir, "Catalog\\");
  // An empty name is the program folder, not the root of the file system.
  EXPECT_EQ(settings.HelpDir, "");
}

TEST_F(MainShellTest, DataFoldersOnDisk) {
  TempFolder dir;
  fs::create_directories(dir / "Out" / "Pictures");
  const std::string exePath = InstallationFolder();
  SetProgramFolders(dir.Path());
  ReadDataFolders(TIniFile::FromText("[DIRECTORIES]\nSaveImageDirName=out\\pictures\nHelpDirName=;\n"), settings);
  // Components match the folders on disk ignoring case; a missing one is kept as
  // written; the program folder stays itself.
  EXPECT_EQ(DataFolderPath(settings.SaveImageDir).lexically_normal(), dir / "Out" / "Pictures");
  EXPECT_EQ(DataFolderPath(settings.LoadWorkDir).lexically_normal(), dir / "Works");
  EXPECT_EQ(DataFolderPath(settings.HelpDir).lexically_normal(), fs::path(InstallationFolder()).lexically_normal());
  SetProgramFolders(exePath);
}

TEST_F(MainShellTest, MissingDataFoldersAreMadeAndWhatIsThereIsKept) {
  TempFolder dir;
  // A folder already there with a picture in it (named in another case), and a
  // file where the music folder would go.
  fs::create_directories(dir / "imagein");
  WriteTestFile(dir / "imagein" / "mine.jpg", "picture");
  WriteTestFile(dir / "Music", "not a folder");
  const std::string exePath = InstallationFolder();
  SetProgramFolders(dir.Path());
  ReadDataFolders(TIniFile::FromText(
      "[DIRECTORIES]\nSaveImageDirName=My Pictures ; exported looks\nSaveWorkDirName=Saved\\Works\nHelpDirName=;\n"),
      settings);
  MakeDataFolders(settings);
  for (const std::string* folder : {&settings.SaveImageDir, &settings.SaveWorkDir, &settings.LoadWorkDir, &settings.SoundDir, &settings.QueriesDir, &settings.TipsDir,
                                    &settings.CatalogDir})
    EXPECT_TRUE(fs::is_directory(DataFolderPath(*folder))) << *folder;
  EXPECT_TRUE(fs::is_directory(dir / "My Pictures"));
  EXPECT_TRUE(fs::is_directory(dir / "Saved" / "Works"));
  EXPECT_FALSE(fs::exists(dir / "ImageIn")) << "a second folder beside the one of another case";
  EXPECT_EQ(fs::file_size(dir / "imagein" / "mine.jpg"), 7u);
  EXPECT_TRUE(fs::is_regular_file(dir / "Music"));
  SetProgramFolders(exePath);
}

TEST_F(MainShellTest, OnAReadOnlyInstallationTheSaveFoldersAreTheUsersOwn) {
  TempFolder dir, home;
  fs::create_directories(dir / "Help");
  ScopedEnv data("XDG_DATA_HOME", (home / "data").string());
  const std::string exePath = InstallationFolder();
  SetProgramFolders(dir.Path(), false);
  ReadDataFolders(TIniFile::FromText("[DIRECTORIES]\n"), settings);
  MakeDataFolders(settings);
  const fs::path own = home / "data" / "tressary";
  EXPECT_EQ(DataFolderPath(settings.SaveWorkDir).lexically_normal(), own / "Works");
  EXPECT_EQ(DataFolderPath(settings.SaveImageDir).lexically_normal(), own / "ImageOut");
  EXPECT_TRUE(fs::is_directory(own / "Works"));
  // What ships is read where it is installed; only what is missing everywhere is made.
  EXPECT_EQ(DataFolderPath(settings.HelpDir).lexically_normal(), dir / "Help");
  EXPECT_FALSE(fs::exists(own / "Help"));
  EXPECT_TRUE(fs::is_directory(own / "Tips"));
  EXPECT_EQ(FolderNames(dir.Path()), std::vector<std::string>{"Help"});
  SetProgramFolders(exePath);
}

TEST_F(MainShellTest, TheInstallationHoldsEveryDataFolderItsSettingsName) {
  const std::string exePath = InstallationFolder();
  SetProgramFolders(BuildDir() / "Tressary");
  ReadDataFolders(TIniFile(BuildDir() / "Tressary" / "Tressary.ini", false), settings);
  for (const std::string* folder : {&settings.LoadImageDir, &settings.SaveImageDir, &settings.LoadWorkDir, &settings.SaveWorkDir, &settings.MusicDir, &settings.SoundDir,
                                    &settings.QueriesDir, &settings.HelpDir, &settings.TipsDir, &settings.CatalogDir}) {
    EXPECT_FALSE(folder->empty());
    EXPECT_TRUE(fs::is_directory(DataFolderPath(*folder))) << *folder;
  }
  SetProgramFolders(exePath);
}

TEST_F(MainShellTest, TrailingBackslash) {
  std::string path = "a\\b";
  IncludeTrailingBackslash(path);
  EXPECT_EQ(path, "a\\b\\");
  IncludeTrailingBackslash(path);
  EXPECT_EQ(path, "a\\b\\");
  path = "/opt/x/";
  IncludeTrailingBackslash(path);
  EXPECT_EQ(path, "/opt/x/");
  path.clear();
  IncludeTrailingBackslash(path);
  EXPECT_EQ(path, "");
}

TEST_F(MainShellTest, HintKeysAndTheirExceptions) {
  auto key = [](std::string_view name) { return MainHintKey(name).Key; };
  EXPECT_EQ(key("ButtonLoadSave"), "ButtonLoadSaveHint");
  EXPECT_EQ(key("SliderPaletteColor"), "SliderPaletteColorHint");
  EXPECT_EQ(key("ButtonInternet"), "ButtonInternet");
  EXPECT_EQ(key("ButtonExit"), "ButtonCloseHint");
  EXPECT_EQ(key("ButtonExitMain"), "ButtonExitHint");
  EXPECT_EQ(key("SliderHPos"), "SliderHorizontalPositionHint");
  EXPECT_EQ(key("SliderVPos"), "SliderVerticalPositionHint");
  EXPECT_EQ(key("PaletteButtonColor1"), "PaletteButtonColorHint");
  EXPECT_EQ(key("PaletteButtonColor12"), "PaletteButtonColorHint");
  for (std::string_view name : {"ButtonOriginalSize", "ButtonCentering", "ButtonLayerList", "ButtonPreview",
                                "ButtonColorCalibration", "ButtonClearWork", "ButtonShopping", "ButtonBaldHead"})
    EXPECT_EQ(key(name), "FormMain" + std::string(name) + "Hint");
  EXPECT_EQ(MainHintKey("ButtonLayerFlipHorizontal").Default, "Flip layer");
  EXPECT_EQ(MainHintKey("ButtonLayerDelete").Default, "");
}

TEST_F(MainShellTest, MissingTextTableLeavesTitlesAndCaptionsUnset) {
  TempFolder folder;
  TTestTexts texts;
  texts.Texts = LoadProgramTexts(folder / "termins.txt");
  EXPECT_FALSE(texts.Texts.Loaded);
  EXPECT_TRUE(texts.Texts.Terms.empty());
  EXPECT_EQ(settings.AllFilesFilterName, "");
  EXPECT_EQ(ApplicationTitle(), ProductInfo.FullName);

  WriteTestFile(folder / "termins.txt", "ProductName=Tressary Deluxe\nBMP_GraphicFilterName=Bilder (*.bmp)\n");
  texts.Texts = LoadProgramTexts(folder / "termins.txt");
  ASSERT_TRUE(texts.Texts.Loaded);
  EXPECT_EQ(ApplicationTitle(), "Tressary Deluxe");
  ReadFilterCaptions(texts.Texts.Terms, settings);
  EXPECT_EQ(settings.BMP_GraphicFilterName, "Bilder (*.bmp)");
  EXPECT_EQ(settings.AllFilesFilterName, "All files (*.*)");
  EXPECT_EQ(settings.CompressedWorkFilterName, "Tressary compressed work (*.tsc)");
  EXPECT_EQ(settings.UncompressedWorkFilterName, "Tressary uncompressed work (*.tsu)");
}

TEST_F(MainShellTest, ContentPathsFromTheUserRegistry) {
  TempFolder folder;
  const ScopedEnv config("XDG_CONFIG_HOME", folder.Path().string());
  const std::string exe = "/opt/tressary/";
  // No registry at all: both paths are the program folder.
  TContentFolders content = ReadContentPaths(TIniFile::FromText(""), exe);
  EXPECT_EQ(content.CDPath, exe);
  EXPECT_EQ(content.HDPath, exe);

  WriteTestFile(folder / "Tressary" / "registry.ini",
                "[SOFTWARE\\Tessaly\\Tressary 5.10]\nCDPath=/media/cd\nHDPath=\n"
                "[SOFTWARE\\Tessaly\\Other]\nCDPath=/other/\n");
  // A missing "RegName" reads under the product's name and version.
  content = ReadContentPaths(TIniFile::FromText("[REGISTRY]\n"), exe);
  EXPECT_EQ(content.CDPath, "/media/cd\\");
  EXPECT_EQ(content.HDPath, "");  // empty stays empty
  content = ReadContentPaths(TIniFile::FromText("[REGISTRY]\nRegName=Other\n"), exe);
  EXPECT_EQ(content.CDPath, "/other/");
  EXPECT_EQ(content.HDPath, exe);
}

TEST_F(MainShellTest, OpenersNameTheirWindowsOnce) {
  std::set<std::string_view> buttons;
  for (const TOpener& opener : MainOpeners()) {
    EXPECT_TRUE(buttons.insert(opener.Button).second) << opener.Button;
    EXPECT_FALSE(opener.Window.empty());
  }
  EXPECT_EQ(FindOpener("ButtonPrint")->Mode, TOpenMode::Modal);
  EXPECT_TRUE(FindOpener("ButtonPrint")->PressedMeanwhile);
  EXPECT_EQ(FindOpener("ButtonHelp")->Mode, TOpenMode::Toggle);
  EXPECT_EQ(FindOpener("ButtonHelp")->Page, "Contents");
  EXPECT_EQ(FindOpener("ButtonExit"), nullptr);
}

namespace {

struct TScriptedClose : IMainClosePorts {
  bool unsaved = false;
  std::vector<ECloseAnswer> answers;
  std::vector<std::string> asked;
  bool saveResult = true;
  int saves = 0;
  std::vector<std::string> tips;
  bool HasUnsavedWork() override { return unsaved; }
  ECloseAnswer Ask(const std::string& text) override {
    asked.push_back(text);
    EXPECT_FALSE(answers.empty()) << "unexpected question " << text;
    if (answers.empty()) return ECloseAnswer::Cancel;
    const ECloseAnswer answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  bool SaveWork() override {
    ++saves;
    return saveResult;
  }
  void ShowTip(const std::string& page) override { tips.push_back(page); }
  void ProcessMessages() override {}
};

}  // namespace

TEST_F(MainShellTest, CloseFlowWithScriptedAnswers) {
  TRecordingOpener opener;
  SetShellOpener(&opener);
  using enum ECloseAnswer;
  TTestTexts texts({{"ConfirmSaveSession", "Save?"}, {"ConfirmExit", "Exit?"}});
  const TIniFile links = TIniFile::FromText("[Publisher Links]\nAfterExitURL=https://example.org/bye\n");

  {  // No layers: no save question; yes to exit opens the after-exit link.
    TScriptedClose ports;
    ports.answers = {Yes};
    EXPECT_TRUE(MainCloseQuery(ports, links));
    EXPECT_EQ(ports.asked, (std::vector<std::string>{"Exit?"}));
    EXPECT_EQ(ports.tips, (std::vector<std::string>{"TipJobFinished"}));
    EXPECT_EQ(opener.opened, (std::vector<std::string>{"https://example.org/bye"}));
  }
  opener.opened.clear();
  {  // Yes to saving, and the save fails: the program stays, nothing else is asked.
    TScriptedClose ports;
    ports.unsaved = true;
    ports.saveResult = false;
    ports.answers = {Yes};
    EXPECT_FALSE(MainCloseQuery(ports, links));
    EXPECT_EQ(ports.saves, 1);
    EXPECT_EQ(ports.asked, (std::vector<std::string>{"Save?"}));
  }
  {  // No to saving, no to exit: the close is cancelled, no link opened.
    TScriptedClose ports;
    ports.unsaved = true;
    ports.answers = {No, No};
    EXPECT_FALSE(MainCloseQuery(ports, links));
    EXPECT_EQ(ports.saves, 0);
  }
  {  // The save question closed (its x, Esc): the program stays with the work, nothing else asked.
    TScriptedClose ports;
    ports.unsaved = true;
    ports.answers = {Cancel};
    EXPECT_FALSE(MainCloseQuery(ports, links));
    EXPECT_EQ(ports.saves, 0);
    EXPECT_EQ(ports.asked, (std::vector<std::string>{"Save?"}));
    EXPECT_TRUE(ports.tips.empty());
  }
  {  // Saved, then yes to exit; a link that is not a web or mail address is not opened.
    TScriptedClose ports;
    ports.unsaved = true;
    ports.answers = {Yes, Yes};
    EXPECT_TRUE(MainCloseQuery(ports, TIniFile::FromText("[Publisher Links]\nAfterExitURL=file:///etc/passwd\n")));
    EXPECT_EQ(ports.saves, 1);
  }
  {  // An empty link opens nothing, nor does a missing one, nor the shipped settings.
    TScriptedClose ports;
    ports.answers = {Yes, Yes, Yes};
    EXPECT_TRUE(MainCloseQuery(ports, TIniFile::FromText("[Publisher Links]\nAfterExitURL=\n")));
    EXPECT_TRUE(MainCloseQuery(ports, TIniFile::FromText("")));
    EXPECT_TRUE(MainCloseQuery(ports, TIniFile(SourceDir() / "data" / "Tressary.ini", false)));
  }
  EXPECT_TRUE(opener.opened.empty());
}
