#pragma once
// What the settings window reads from its edits and writes to the settings ini.
#include <string>
#include <string_view>

#include "editor/BackgroundMusic.h"
#include "shell/MainSettings.h"

class TIniFile;

// The defaults an edit falls back to when it holds no number or one out of range.
constexpr int kDefaultMailPort = 25;
constexpr int kDefaultLeftRightMargin = 5;
constexpr int kDefaultTopBottomMargin = 10;
constexpr int kMaxMargin = 45;  // percent of the page: two margins leave a tenth

// A port 1-65535, else kDefaultMailPort.
int MailPortFromEdit(std::string_view text);
// A margin 0-kMaxMargin percent, else `fallback`.
int MarginFromEdit(std::string_view text, int fallback);
// A play-list file the "MUSIC" value can hold: no ";" (the field separator) and
// no line break.
bool StorableMusicPath(std::string_view path);

// Writes the settings in this order: "MUSIC" afresh (PlayMusic, then File1...
// with the music folder as "$MUSICPATH$"), "SOUND", "TIPS", "INTERFACES" (each
// entry the interface list takes gets "1;" when it is entry `chosenInterface`
// (1-based; 0 = the default interface) and "0;" otherwise; lines the list skips
// stay as they are), "MAIL", "PRINT", "CALIBRATION COLOR", from `settings`.
void WriteSetupSettings(TIniFile& ini, const TMainSettings& settings, const TMusicList& music,
                        std::string_view musicFolder, int chosenInterface);
