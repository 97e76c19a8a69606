#pragma once
// The product record and its work-file extensions, constant for the program's
// run. The installation folder is the program folders' (InstallationFolder,
// platform/ProgramFolders.h), named by the start-up; the settings and the
// content folders are the run's (TMainSettings).
#include <string>

struct TProductInfo {
  const char* Marker;
  const char* FullName;
  const char* Version;
  const char* BuildTag;
  const char* IniFileName;
  const char* NameAndVersion;
  const char* Spare;
  const char* CmpFileExt;
  const char* UnCmpFileExt;
  const char* ProductWord;
  const char* ShortCode;
};

inline constexpr TProductInfo ProductInfo = {
    "###_Tressary_###", "Tressary", "5.10", "linux-1", "Tressary.ini", "Tressary 5.10",
    "",                 ".tsc",     ".tsu", "Tressary", "TS"};

// The work files' extensions: the compressed work and the container.
inline const std::string CompressedWorkExt = ProductInfo.CmpFileExt;
inline const std::string UncompressedWorkExt = ProductInfo.UnCmpFileExt;
