#pragma once
// Registering the two work-file types with the desktop: a shared-mime-info package
// for the extensions and a .desktop entry that opens them with the program, both
// in the user's data folder.
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

class IProcessRunner;
class TIniFile;

struct TWorkFileType {
  std::string MimeType;  // "application/x-tessalytressary5.10cmpfile"
  std::string Comment;   // the type name shown by file managers
  std::string Extension; // ".tsc"
};

// The compressed and the uncompressed work type, named from the product record and
// the settings ("TYPES REGISTRATION", "KZCmpTypeName" / "KZUnCmpTypeName").
TWorkFileType CompressedWorkType(const TIniFile& ini);
TWorkFileType UncompressedWorkType(const TIniFile& ini);


// Writes the mime package and the .desktop entry below `dataHome` and refreshes
// the desktop's databases through `runner` (their tools may be missing). False when
// a file could not be written.
bool RegisterFileTypes(const fs::path& dataHome, const fs::path& executable, const TIniFile& ini,
                       IProcessRunner& runner);

// The texts written (for tests and for the files themselves).
std::string MimePackageText(const TWorkFileType& compressed, const TWorkFileType& uncompressed);
std::string DesktopEntryText(const fs::path& executable, const TWorkFileType& compressed,
                             const TWorkFileType& uncompressed);
