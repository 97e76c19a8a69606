#pragma once
// What the settings window writes to the settings ini, and the play-list files
// it can store there.
#include <string>
#include <string_view>

#include "editor/BackgroundMusic.h"
#include "shell/MainSettings.h"

class TIniFile;

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
