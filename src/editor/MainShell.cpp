#include "editor/MainShell.h"

#include <algorithm>

#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/RegistryIni.h"
#include "platform/ShellOpen.h"
#include "platform/Text.h"
#include "platform/TextFile.h"
#include "shell/ProductInfo.h"

namespace {

struct TFolder {
  std::string_view Key;
  std::string_view Default;
  std::string TMainSettings::*Field;
  bool Output = false;  // the program saves the user's files there
};
const TFolder kFolders[] = {
    {"LoadImageDirName", "ImageIn", &TMainSettings::LoadImageDir},
    {"SaveImageDirName", "ImageOut", &TMainSettings::SaveImageDir, true},
    {"LoadWorkDirName", "Works", &TMainSettings::LoadWorkDir, true},
    {"SaveWorkDirName", "Works", &TMainSettings::SaveWorkDir, true},
    {"MusicFilesDirName", "Music", &TMainSettings::MusicDir},
    {"SoundFilesDirName", "Sound", &TMainSettings::SoundDir},
    {"QueriesDirName", "Queries", &TMainSettings::QueriesDir},
    {"HelpDirName", "Help", &TMainSettings::HelpDir},
    {"TipsDirName", "Tips", &TMainSettings::TipsDir},
    {"CatalogDirName", "Catalog", &TMainSettings::CatalogDir},
};

struct TCaption {
  std::string_view Key;
  std::string_view Default;  // empty: built from the product record
  std::string TMainSettings::*Field;
};
const TCaption kCaptions[] = {
    {"AllFilesFilterName", "All files (*.*)", &TMainSettings::AllFilesFilterName},
    {"AllGraphicsFilterName", "All supported graphical formats", &TMainSettings::AllGraphicsFilterName},
    {"BMP_GraphicFilterName", "Bitmaps (*.bmp)", &TMainSettings::BMP_GraphicFilterName},
    {"JPG_GraphicFilterName", "JPEG image files (*.jpg, *.jpeg)", &TMainSettings::JPG_GraphicFilterName},
    {"PSD_GraphicFilterName", "PhotoShop files (*.psd)", &TMainSettings::PSD_GraphicFilterName},
    {"GIF_GraphicFilterName", "CompuServe GIF images (*.gif)", &TMainSettings::GIF_GraphicFilterName},
    {"TIF_GraphicFilterName", "Tag image files (*.tif)", &TMainSettings::TIF_GraphicFilterName},
    {"PCX_GraphicFilterName", "PCX files (*.pcx)", &TMainSettings::PCX_GraphicFilterName},
    {"TGA_GraphicFilterName", "Targa images (*.tga)", &TMainSettings::TGA_GraphicFilterName},
    {"PNG_GraphicFilterName", "Portable Network Graphics (*.png)", &TMainSettings::PNG_GraphicFilterName},
    {"EPS_GraphicFilterName", "Enapsulated PostScript files (*.eps)", &TMainSettings::EPS_GraphicFilterName},
    {"WMF_GraphicFilterName", "Metafiles (*.wmf)", &TMainSettings::WMF_GraphicFilterName},
    {"AllMusicFilesFilterName", "All supported musical formats", &TMainSettings::AllMusicFilesFilterName},
    {"WAV_MusicFilterName", "Wave files (*.wav)", &TMainSettings::WAV_MusicFilterName},
    {"MID_MusicFilterName", "Midi files (*.mid, *.midi)", &TMainSettings::MID_MusicFilterName},
    {"MP3_MusicFilterName", "MP3 files (*.mp3)", &TMainSettings::MP3_MusicFilterName},
    {"UncompressedWorkFilterName", "", &TMainSettings::UncompressedWorkFilterName},
    {"CompressedWorkFilterName", "", &TMainSettings::CompressedWorkFilterName},
    {"AllSavedWorksFilterName", "All saved works formats", &TMainSettings::AllSavedWorksFilterName},
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

void ReadMainSettings(const TIniFile& ini, TMainSettings& settings) {
  settings.CalibrationRed = ByteSetting(ini, "CALIBRATION COLOR", "Red", 252);
  settings.CalibrationGreen = ByteSetting(ini, "CALIBRATION COLOR", "Green", 217);
  settings.CalibrationBlue = ByteSetting(ini, "CALIBRATION COLOR", "Blue", 188);
  settings.MailServer = ini.ReadString("MAIL", "Server", "");
  settings.MailPort = MailPortFromEdit(ini.ReadString("MAIL", "Port", ""));
  settings.MailFromAddress = ini.ReadString("MAIL", "FromAddress", "");
  settings.LeftRightMargin = MarginFromEdit(ini.ReadString("PRINT", "LeftRightMargin", ""), kDefaultLeftRightMargin);
  settings.TopBottomMargin = MarginFromEdit(ini.ReadString("PRINT", "TopBottomMargin", ""), kDefaultTopBottomMargin);
  settings.ShowTips = YesSetting(ini, "TIPS", "ShowTips");
  settings.PlayMusic = YesSetting(ini, "MUSIC", "PlayMusic");
  settings.PlaySound = YesSetting(ini, "SOUND", "PlaySound");
}

std::string DataFolderName(const TIniFile& ini, std::string_view key, std::string_view defaultName) {
  std::string name = Field(ini.ReadString("DIRECTORIES", key, defaultName), 1);
  // "\" even when empty: the folder is then the program folder itself.
  if (name.empty() || name.back() != '\\') name += '\\';
  return name;
}

void ReadDataFolders(const TIniFile& ini, TMainSettings& settings) {
  for (const TFolder& folder : kFolders) {
    const std::string name = DataFolderName(ini, folder.Key, folder.Default);
    // A lone "\" would name the root of the file system, not the program folder.
    settings.*folder.Field = name == "\\" ? std::string() : name;
  }
}

fs::path DataFolderPath(const std::string& folder) { return ProgramFileForReading(fs::path(InstallationFolder()), folder); }

void MakeDataFolders(const TMainSettings& settings) {
  for (const TFolder& folder : kFolders) {
    const std::string& name = settings.*folder.Field;
    if (name.empty()) continue;  // the program folder itself
    // The folders saves go to are made where the user's files are kept (the
    // user's own when the installation is read-only); the others only when they
    // are missing everywhere. One that cannot be made (a file of that name) is
    // left as it is: the dialogs then start where they can.
    std::error_code ec;
    if (folder.Output || !fs::is_directory(DataFolderPath(name), ec)) ProgramFileForWriting(fs::path(InstallationFolder()), name);
  }
}

std::string ContentPathsKey(const TIniFile& ini) {
  return "SOFTWARE\\Tessaly\\" + ini.ReadString("REGISTRY", "RegName", ProductInfo.NameAndVersion);
}

TContentFolders ReadContentPaths(const TIniFile& ini, const std::string& exePath) {
  const std::string key = ContentPathsKey(ini);
  TContentFolders folders;
  folders.CDPath = ReadRegistryString(key, "CDPath", exePath);
  folders.HDPath = ReadRegistryString(key, "HDPath", exePath);
  IncludeTrailingBackslash(folders.CDPath);
  IncludeTrailingBackslash(folders.HDPath);
  return folders;
}

std::string ApplicationTitle() { return WithoutSound(GetTerm("ProductName", ProgramTexts(), ProductInfo.FullName)); }

void ReadFilterCaptions(const TTerminList& terms, TMainSettings& settings) {
  for (const TCaption& caption : kCaptions) {
    std::string fallback(caption.Default);
    if (caption.Default.empty()) {
      const bool compressed = caption.Key == "CompressedWorkFilterName";
      fallback = std::string(ProductInfo.FullName) + (compressed ? " compressed work (*" : " uncompressed work (*") +
                 LowerAscii(WorkExtension(compressed)) + ")";
    }
    settings.*caption.Field = WithoutSound(GetTerm(caption.Key, terms, fallback));
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
  if (ports.HasUnsavedWork()) {
    const ECloseAnswer save = ports.Ask(GetTerm("ConfirmSaveSession", ProgramTexts(), "Save the present work before leaving?"));
    // Closing the question stays with the work; a failed save is never lost silently.
    if (save == ECloseAnswer::Cancel || (save == ECloseAnswer::Yes && !ports.SaveWork())) return false;
  }
  ports.ShowTip("TipJobFinished");
  if (ports.Ask(GetTerm("ConfirmExit", ProgramTexts(), "Quit the program?")) != ECloseAnswer::Yes) return false;
  const std::string link = PublisherLink(ini, "AfterExitURL");
  if (!link.empty()) {
    ports.ProcessMessages();
    ShellOpen(link);
  }
  return true;
}
