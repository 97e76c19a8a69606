#pragma once
// The program's settings in one object: the settings ini itself, what the
// start-up reads from it ("CALIBRATION COLOR", "MAIL", "PRINT", "TIPS", "MUSIC",
// "SOUND", "DIRECTORIES") and the text table's file-filter captions. The
// program's run (RunProgram, app/Program.cpp) owns the one object and hands it
// to every window that reads or writes settings; tests hand in their own. Fields are named as the ini keys
// and text-table entries they hold.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/IniFile.h"

// The defaults a value falls back to when the ini or an edit holds no number or
// one out of range.
constexpr int kDefaultMailPort = 25;
constexpr int kDefaultLeftRightMargin = 5;
constexpr int kDefaultTopBottomMargin = 10;
constexpr int kMaxMargin = 45;  // percent of the page: two margins leave a tenth

// A port 1-65535, else kDefaultMailPort.
int MailPortFromEdit(std::string_view text);
// A margin 0-kMaxMargin percent, else `fallback`.
int MarginFromEdit(std::string_view text, int fallback);

// The content folders an installation may spread its elements over (a hard-disk
// copy and a disc), read at start-up from the registry stand-in
// (ReadContentPaths); each ends in a separator, and an empty one stands for the
// installation folder. The template browser, the models, the main state's
// template placement and the music look there.
struct TContentFolders {
  std::string HDPath;
  std::string CDPath;
};

struct TMainSettings {
  // The settings file (Tressary.ini in the user's settings folder), written
  // through at every change once the start-up opened it; empty and in memory
  // until then. The sections the windows read for themselves (template and
  // model types, servers, publishers, links, registration) live only here.
  TIniFile Ini = TIniFile::FromText("");

  std::uint8_t CalibrationRed = 252;
  std::uint8_t CalibrationGreen = 217;
  std::uint8_t CalibrationBlue = 188;
  std::string MailServer;
  int MailPort = kDefaultMailPort;
  // The sender address of mails when no mail program's account gives one.
  std::string MailFromAddress;
  int LeftRightMargin = kDefaultLeftRightMargin;  // percent
  int TopBottomMargin = kDefaultTopBottomMargin;
  // Tips shown by themselves as windows activate.
  bool ShowTips = false;
  bool PlayMusic = false;
  bool PlaySound = false;

  // Data folders: names relative to the installation folder, ending in "\" (empty:
  // that folder itself); DataFolderPath gives the folder on disk. Until the
  // settings are read, each holds its default name.
  std::string LoadImageDir = "ImageIn\\";
  std::string SaveImageDir = "ImageOut\\";
  std::string LoadWorkDir = "Works\\";
  std::string SaveWorkDir = "Works\\";
  std::string MusicDir = "Music\\";
  std::string SoundDir = "Sound\\";
  std::string QueriesDir = "Queries\\";
  std::string HelpDir = "Help\\";
  std::string TipsDir = "Tips\\";
  std::string CatalogDir = "Catalog\\";

  TContentFolders Content;

  // File-filter captions of the text table (empty until it loaded).
  std::string AllFilesFilterName;
  std::string AllGraphicsFilterName;
  std::string BMP_GraphicFilterName;
  std::string JPG_GraphicFilterName;
  std::string PSD_GraphicFilterName;
  std::string GIF_GraphicFilterName;
  std::string TIF_GraphicFilterName;
  std::string PCX_GraphicFilterName;
  std::string TGA_GraphicFilterName;
  std::string PNG_GraphicFilterName;
  std::string EPS_GraphicFilterName;
  std::string WMF_GraphicFilterName;
  std::string AllMusicFilesFilterName;
  std::string WAV_MusicFilterName;
  std::string MID_MusicFilterName;
  std::string MP3_MusicFilterName;
  std::string UncompressedWorkFilterName;
  std::string CompressedWorkFilterName;
  std::string AllSavedWorksFilterName;
};
