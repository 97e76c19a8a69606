#pragma once
// Where the program's own files live. The installation folder holds what ships.
// When it cannot be written (a system install run by an ordinary user), the
// settings file lives in $XDG_CONFIG_HOME/tressary (default ~/.config) and every
// other file the program writes in $XDG_DATA_HOME/tressary (default
// ~/.local/share), seeded from the installation: a file is looked for in the
// user's folder first and then in the installation, and a file written there
// starts as a copy of the installed one, so an appended list keeps what ships
// and a saved or downloaded template shows beside the shipped ones. When the
// installation can be written, everything stays in it.
//
// The program's run names the installation once, at start-up (SetProgramFolders,
// called by RunStartup with the executable's folder); InstallationFolder answers
// it to every layer that builds a data path. Tests name theirs the same way.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

// $XDG_CONFIG_HOME / $XDG_DATA_HOME when absolute, else ~/.config and
// ~/.local/share; empty when neither is known.
fs::path UserConfigHome();
fs::path UserDataHome();

// True when a file can be made in `folder`: a real file is made and removed
// again, so the answer holds for root (whom modes do not stop) as for anyone.
bool CanWriteFolder(const fs::path& folder);

// Names the installation `installed` and decides where writes go: into it when
// it can be written, else into the user's folders. `installedWritable` overrides
// the probe (tests); an empty `installed` restores the start (no installation
// named, writes stay in place).
void SetProgramFolders(const fs::path& installed);
void SetProgramFolders(const fs::path& installed, bool installedWritable);

// The installation folder, ending in a separator, so that a stored path
// ("Intfaces\DEFAULT\...", "termins.txt") appended to it names a file there (to be
// resolved with ResolvePath); empty until one is named.
std::string InstallationFolder();

// The user's data folder that takes the writes, or empty when the installation
// takes them.
fs::path UserProgramFolder();

// A stored path ("PartBase.txt", "HairW\Bob1.psd", "Works\") below the program
// folder `programFolder` (InstallationFolder()), resolved as ResolvePath does, for
// reading: the user's copy when there is one, else the installed. Another base than the
// installation is resolved as it stands.
fs::path ProgramFileForReading(const fs::path& programFolder, std::string_view storedPath);
// The same for writing: in the user's folder when the installation cannot be
// written, with the folders above it made and an installed file of that name
// copied there first. A path ending in a separator names a folder, which is made.
fs::path ProgramFileForWriting(const fs::path& programFolder, std::string_view storedPath);

// The settings file `name` ("Tressary.ini") of `programFolder`: the installed one,
// or the user's copy in $XDG_CONFIG_HOME/tressary, made from the installed one on
// first use. The installed one when no copy can be made (saving the settings then
// fails and says why).
fs::path ProgramSettingsFile(const fs::path& programFolder, std::string_view name);
