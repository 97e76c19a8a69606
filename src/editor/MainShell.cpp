#include "editor/MainShell.h"

#include "editor/SetupSettings.h"
#include <algorithm>

#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/RegistryIni.h"
#include "platform/ShellOpen.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "shell/ShellGlobals.h"

std::uint8_t CalibrationRed = 252;
std::uint8_t CalibrationGreen = 217;
std::uint8_t CalibrationBlue = 188;
std::string MailServer;
int MailPort = 25;
std::string MailFromAddress;
int LeftRightMargin = 5;
int TopBottomMargin = 10;
bool PlayMusic = false;
bool PlaySound = false;

std::string LoadImageDir = "ImageIn\\", SaveImageDir = "ImageOut\\", LoadWorkDir = "Works\\",
            SaveWorkDir = "Works\\", MusicDir = "Music\\", SoundDir = "Sound\\", QueriesDir = "Queries\\",
            CatalogDir = "Catalog\\";

std::string AllFilesFilterName, AllGraphicsFilterName, BMP_GraphicFilterName, JPG_GraphicFilterName,
    PSD_GraphicFilterName, GIF_GraphicFilterName, TIF_GraphicFilterName, PCX_GraphicFilterName,
    TGA_GraphicFilterName, PNG_GraphicFilterName, EPS_GraphicFilterName, WMF_GraphicFilterName,
    AllMusicFilesFilterName, WAV_MusicFilterName, MID_MusicFilterName, MP3_MusicFilterName,
    UncompressedWorkFilterName, CompressedWorkFilterName, AllSavedWorksFilterName;

namespace {

struct TFolder {
  std::string_view Key;
  std::string_view Default;
  std::string* Global;
  bool Output = false;  // the program saves the user's files there
};
const TFolder kFolders[] = {
    {"LoadImageDirName", "ImageIn", &LoadImageDir},   {"SaveImageDirName", "ImageOut", &SaveImageDir, true},
    {"LoadWorkDirName", "Works", &LoadWorkDir, true}, {"SaveWorkDirName", "Works", &SaveWorkDir, true},
    {"MusicFilesDirName", "Music", &MusicDir},        {"SoundFilesDirName", "Sound", &SoundDir},
    {"QueriesDirName", "Queries", &QueriesDir},       {"HelpDirName", "Help", &HelpDir},
    {"TipsDirName", "Tips", &TipsDir},                {"CatalogDirName", "Catalog", &CatalogDir},
};

struct TCaption {
  std::string_view Key;
  std::string_view Default;  // empty: built from the product record
  std::string* Global;
};
const TCaption kCaptions[] = {
    {"AllFilesFilterName", "All files (*.*)", &AllFilesFilterName},
    {"AllGraphicsFilterName", "All supported graphical formats", &AllGraphicsFilterName},
    {"BMP_GraphicFilterName", "Bitmaps (*.bmp)", &BMP_GraphicFilterName},
    {"JPG_GraphicFilterName", "JPEG image files (*.jpg, *.jpeg)", &JPG_GraphicFilterName},
    {"PSD_GraphicFilterName", "PhotoShop files (*.psd)", &PSD_GraphicFilterName},
    {"GIF_GraphicFilterName", "CompuServe GIF images (*.gif)", &GIF_GraphicFilterName},
    {"TIF_GraphicFilterName", "Tag image files (*.tif)", &TIF_GraphicFilterName},
    {"PCX_GraphicFilterName", "PCX files (*.pcx)", &PCX_GraphicFilterName},
    {"TGA_GraphicFilterName", "Targa images (*.tga)", &TGA_GraphicFilterName},
    {"PNG_GraphicFilterName", "Portable Network Graphics (*.png)", &PNG_GraphicFilterName},
    {"EPS_GraphicFilterName", "Enapsulated PostScript files (*.eps)", &EPS_GraphicFilterName},
    {"WMF_GraphicFilterName", "Metafiles (*.wmf)", &WMF_GraphicFilterName},
    {"AllMusicFilesFilterName", "All supported musical formats", &AllMusicFilesFilterName},
    {"WAV_MusicFilterName", "Wave files (*.wav)", &WAV_MusicFilterName},
    {"MID_MusicFilterName", "Midi files (*.mid, *.midi)", &MID_MusicFilterName},
    {"MP3_MusicFilterName", "MP3 files (*.mp3)", &MP3_MusicFilterName},
    {"UncompressedWorkFilterName", "", &UncompressedWorkFilterName},
    {"CompressedWorkFilterName", "", &CompressedWorkFilterName},
    {"AllSavedWorksFilterName", "All saved works formats", &AllSavedWorksFilterName},
};

constexpr TOpener kOpeners[] = {
    {"ButtonLoadSave", "FormLoadSave", TOpenMode::Modal, false, false, ""},
    {"ButtonInternet", "FormInetModes", TOpenMode::Modal, false, false, ""},
    {"ButtonMessages", "FormPublisherMessages", TOpenMode::Modal, true, true, ""},
    {"ButtonSetup", "FormSetup", TOpenMode::Modal, true, false, ""},
    {"ButtonPrint", "FormPrint", TOpenMode::Modal, true, false, ""},
    {"ButtonShopping", "FormShopping", TOpenMode::Modal, false, true, ""},
    {"ButtonQueries", "FormQueries", TOpenMode::Toggle, false, false, ""},
    {"ButtonHelp", "FormHelp", TOpenMode::Toggle, false, false, "Contents"},
    {"ButtonCatalog", "FormCatalog", TOpenMode::Toggle, false, true, "Index"},
    {"ButtonPreview", "FormPreview", TOpenMode::Toggle, false, false, ""},
    {"ButtonLayerList", "FormLayers", TOpenMode::Toggle, false, false, ""},
    {"ButtonLayerRegions", "FormLayerRegions", TOpenMode::Toggle, false, false, ""},
};

constexpr TLinkButton kLinkButtons[] = {
    {"ButtonLogoVYN", "PublisherVYN"},
    {"ButtonSubscribe", "SubscribeURL"},
    {"ButtonMoreGames", "MoreGamesURL"},
    {"ButtonTellaFriend", "TellaFriendURL"},
};

// The value of a "YES"/"NO" setting.
bool YesSetting(const TIniFile& ini, std::string_view section, std::string_view key) {
  return UpperAscii(ini.ReadString(section, key, "NO")) == "YES";
}

std::uint8_t ByteSetting(const TIniFile& ini, std::string_view section, std::string_view key, int fallback) {
  return static_cast<std::uint8_t>(std::clamp(ini.ReadInteger(section, key, fallback), 0, 255));
}

// The start-up sets the extensions from the settings; the product's until then.
std::string WorkExtension(bool compressed) {
  const std::string& ext = compressed ? CompressedWorkExt : UncompressedWorkExt;
  if (!ext.empty()) return ext;
  return compressed ? ProductInfo.CmpFileExt : ProductInfo.UnCmpFileExt;
}

}  // namespace

void IncludeTrailingBackslash(std::string& path) { path = WithTrailingBackslash(path); }

void ReadMainSettings(const TIniFile& ini) {
  CalibrationRed = ByteSetting(ini, "CALIBRATION COLOR", "Red", 252);
  CalibrationGreen = ByteSetting(ini, "CALIBRATION COLOR", "Green", 217);
  CalibrationBlue = ByteSetting(ini, "CALIBRATION COLOR", "Blue", 188);
  MailServer = ini.ReadString("MAIL", "Server", "");
  MailPort = MailPortFromEdit(ini.ReadString("MAIL", "Port", ""));
  MailFromAddress = ini.ReadString("MAIL", "FromAddress", "");
  LeftRightMargin = MarginFromEdit(ini.ReadString("PRINT", "LeftRightMargin", ""), kDefaultLeftRightMargin);
  TopBottomMargin = MarginFromEdit(ini.ReadString("PRINT", "TopBottomMargin", ""), kDefaultTopBottomMargin);
  ShowTips = YesSetting(ini, "TIPS", "ShowTips");
  PlayMusic = YesSetting(ini, "MUSIC", "PlayMusic");
  PlaySound = YesSetting(ini, "SOUND", "PlaySound");
}

std::string DataFolderName(const TIniFile& ini, std::string_view key, std::string_view defaultName) {
  std::string name = Field(ini.ReadString("DIRECTORIES", key, defaultName), 1);
  // "\" even when empty: the folder is then the program folder itself.
  if (name.empty() || name.back() != '\\') name += '\\';
  return name;
}

void ReadDataFolders(const TIniFile& ini) {
  for (const TFolder& folder : kFolders) {
    const std::string name = DataFolderName(ini, folder.Key, folder.Default);
    // A lone "\" would name the root of the file system, not the program folder.
    *folder.Global = name == "\\" ? std::string() : name;
  }
}

fs::path DataFolderPath(const std::string& folder) { return ProgramFileForReading(fs::path(ExePath), folder); }

void MakeDataFolders() {
  for (const TFolder& folder : kFolders) {
    if (folder.Global->empty()) continue;  // the program folder itself
    // The folders saves go to are made where the user's files are kept (the
    // user's own when the installation is read-only); the others only when they
    // are missing everywhere. One that cannot be made (a file of that name) is
    // left as it is: the dialogs then start where they can.
    std::error_code ec;
    if (folder.Output || !fs::is_directory(DataFolderPath(*folder.Global), ec))
      ProgramFileForWriting(fs::path(ExePath), *folder.Global);
  }
}

std::string ContentPathsKey(const TIniFile& ini) {
  return "SOFTWARE\\Tessaly\\" + ini.ReadString("REGISTRY", "RegName", ProductInfo.NameAndVersion);
}

void ReadContentPaths(const TIniFile& ini, const std::string& exePath) {
  const std::string key = ContentPathsKey(ini);
  CDPath = ReadRegistryString(key, "CDPath", exePath);
  HDPath = ReadRegistryString(key, "HDPath", exePath);
  IncludeTrailingBackslash(CDPath);
  IncludeTrailingBackslash(HDPath);
}

bool LoadMainTerms(const std::string& path) {
  Termins.clear();
  try {
    // The sounds after "@" stay: the sound hint speaks them.
    return LoadTerms(path, Termins, true);
  } catch (const ETextFileError&) {
    Termins.clear();
    return false;
  }
}

std::string ApplicationTitle() { return WithoutSound(GetTerm("ProductName", Termins, ProductInfo.FullName)); }

void ReadFilterCaptions(const TTerminList& terms) {
  for (const TCaption& caption : kCaptions) {
    std::string fallback(caption.Default);
    if (caption.Default.empty()) {
      const bool compressed = caption.Key == "CompressedWorkFilterName";
      fallback = std::string(ProductInfo.FullName) + (compressed ? " compressed work (*" : " uncompressed work (*") +
                 LowerAscii(WorkExtension(compressed)) + ")";
    }
    *caption.Global = WithoutSound(GetTerm(caption.Key, terms, fallback));
  }
}

TMainHint MainHintKey(std::string_view name) {
  const std::string own(name);
  if (name == "ButtonInternet") return {"ButtonInternet", ""};
  if (name == "ButtonExit") return {"ButtonCloseHint", ""};
  if (name == "ButtonExitMain") return {"ButtonExitHint", ""};
  if (name == "SliderHPos") return {"SliderHorizontalPositionHint", ""};
  if (name == "SliderVPos") return {"SliderVerticalPositionHint", ""};
  if (name == "ButtonLayerFlipHorizontal") return {"ButtonLayerFlipHorizontalHint", "Flip layer"};
  // The palette's slots, as many as the interface gives, share one hint.
  if (name.starts_with("PaletteButtonColor")) return {"PaletteButtonColorHint", ""};
  for (std::string_view prefixed : {"ButtonOriginalSize", "ButtonCentering", "ButtonLayerList", "ButtonPreview",
                                    "ButtonColorCalibration", "ButtonClearWork", "ButtonShopping", "ButtonBaldHead"})
    if (name == prefixed) return {"FormMain" + own + "Hint", ""};
  return {own + "Hint", ""};
}

std::span<const TOpener> MainOpeners() { return kOpeners; }

const TOpener* FindOpener(std::string_view button) {
  for (const TOpener& opener : kOpeners)
    if (opener.Button == button) return &opener;
  return nullptr;
}

std::span<const TLinkButton> LinkButtons() { return kLinkButtons; }

std::string PublisherLink(const TIniFile& ini, std::string_view key) {
  return Trim(ini.ReadString("Publisher Links", key, ""));
}

bool MainCloseQuery(IMainClosePorts& ports, const TIniFile& ini) {
  if (ports.HasUnsavedWork() &&
      ports.AskYesNo(GetTerm("ConfirmSaveSession", Termins, "Save the present work before leaving?")) &&
      !ports.SaveWork())
    return false;  // the work is never lost silently
  ports.ShowTip("TipJobFinished");
  if (!ports.AskYesNo(GetTerm("ConfirmExit", Termins, "Quit the program?"))) return false;
  const std::string link = PublisherLink(ini, "AfterExitURL");
  if (!link.empty()) {
    ports.ProcessMessages();
    ShellOpen(link);
  }
  return true;
}

void ResetMainShell() {
  CalibrationRed = 252;
  CalibrationGreen = 217;
  CalibrationBlue = 188;
  MailServer.clear();
  MailPort = 25;
  MailFromAddress.clear();
  LeftRightMargin = 5;
  TopBottomMargin = 10;
  ShowTips = PlayMusic = PlaySound = false;
  for (const TFolder& folder : kFolders) *folder.Global = std::string(folder.Default) + "\\";
  for (const TCaption& caption : kCaptions) caption.Global->clear();
  CDPath.clear();
  HDPath.clear();
}
