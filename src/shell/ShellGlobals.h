#pragma once
// Program-wide state of the application shell: the product record, the program
// folder, the settings ini, and the desk geometry that the start-up sets from the
// settings and the main state's zoom and scrolling move afterwards.
#include <memory>
#include <string>

class TIniFile;

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
// The content folders an installation may spread its elements over (a hard disk
// and a disc copy); empty means the same as ExePath. Ending in a separator.
extern std::string HDPath;
extern std::string CDPath;
// The settings ini over ExePath + IniFileName; null until the start-up opened it.
extern std::unique_ptr<TIniFile> MainIni;
// MainIni, or an empty ini while it is not open.
const TIniFile& MainSettings();
extern std::string CompressedWorkExt;
extern std::string UncompressedWorkExt;
// Set when the user clicks or presses a key during the intro.
extern bool IntroSkipped;

// Desk geometry: the canvas holds the work in picture pixels (at most 1024 a side);
// the desk window shows the canvas rectangle DeskView* at DeskScale canvas pixels
// per window pixel.
constexpr int kDefaultDesktopWindowX = 97;
constexpr int kDefaultDesktopWindowY = 62;
constexpr int kDefaultDesktopWindowWidth = 445;
constexpr int kDefaultDesktopWindowHeight = 492;
constexpr int kDefaultDesktopTableWidth = 890;
constexpr int kDefaultDesktopTableHeight = 984;
constexpr int kMaxDesktopTableSide = 1024;

extern int DesktopWindowX;
extern int DesktopWindowY;
extern int DesktopWindowWidth;
extern int DesktopWindowHeight;
extern int DesktopTableWidth;
extern int DesktopTableHeight;
extern double DeskScale;
extern int DeskViewLeft;
extern int DeskViewTop;
extern int DeskViewWidth;
extern int DeskViewHeight;

// Recomputes the desk view from the window size, the canvas size and DeskScale:
// the view is the scaled window, centred on the canvas.
void UpdateDeskView();

// Back to the state before start-up (tests).
void ResetShellGlobals();
