#pragma once
// Program-wide state of the application shell: the product record and its
// work-file extensions and the program folder. Whether the intro was skipped is
// the start-up's (IStartupHost::IntroSkipped). The settings and the content
// folders are not here: the program's run owns them (TMainSettings).
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

// The installation folder, always ending in a separator; data paths are built as
// ExePath + a stored path ("Intfaces\DEFAULT\...") and resolved with ResolvePath.
extern std::string ExePath;
// The work files' extensions: the compressed work and the container.
inline const std::string CompressedWorkExt = ProductInfo.CmpFileExt;
inline const std::string UncompressedWorkExt = ProductInfo.UnCmpFileExt;

// Back to the state before start-up (tests).
void ResetShellGlobals();
