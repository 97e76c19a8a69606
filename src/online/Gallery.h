#pragma once
// The gallery browser's logic: the authors and their works from the server's two
// lists, the search by the six attributes, and the download of one work. Every
// reply is checked for what it claims to be (a list, a JPEG, a readable work)
// before anything is shown or written, and nothing already on disk is replaced.
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "online/OnlineRecords.h"
#include "picture/Bitmap32.h"

namespace fs = std::filesystem;

class TTransferContext;
struct TOnlineServers;

// Progress of one transfer: (total, received), on the window's thread.
using TGalleryProgress = std::function<void(std::int64_t total, std::int64_t received)>;

// The number of attributes a work is described by: sex, age, skin colour, hair
// colour, eyes colour and portrait type.
inline constexpr int kGalleryAttributes = 6;
// The result page shows at most this many previews.
inline constexpr std::size_t kGalleryResultPage = 100;

// A work is an author's when its id holds the author's number with no digit
// right before or after it: "10001w0001" is author 10001's, and author 1 never
// owns work "12-3". An empty number owns nothing.
bool WorkBelongsTo(std::string_view workId, std::string_view userNumber);
// Where the number stands so in the id (its first such place), or npos.
std::size_t NumberPositionInWorkId(std::string_view workId, std::string_view userNumber);

struct TGalleryAuthor {
  std::string Caption;              // first name + " " + second name
  std::string Number;
  std::vector<std::size_t> Works;   // indexes into the works list, in list order
};
// The author tree: users ordered by the integer of field 10 (a field that is no
// number counts as 0; equal keys keep the list's order), each with the works it
// owns (a work whose id holds several users' numbers is the one's whose number
// stands first); users without works are left out.
std::vector<TGalleryAuthor> BuildGalleryAuthors(const std::vector<TRegistrationRecord>& users,
                                                const std::vector<TGallary>& works);

// The search: for each attribute, the item indexes the user checked; an empty
// list means every value.
using TAttributeChoice = std::array<std::vector<int>, kGalleryAttributes>;
bool WorkMatches(const TGallary& work, const TAttributeChoice& choice);
// The indexes of the matching works, in list order.
std::vector<std::size_t> SearchGalleryWorks(const std::vector<TGallary>& works, const TAttributeChoice& choice);

struct TGalleryLists {
  std::vector<TRegistrationRecord> Users;
  std::vector<TGallary> Works;
  std::vector<TGalleryAuthor> Authors;
};
enum class EGalleryFetch { Loaded, NoNetwork, NoAccess, Stopped, NoServer };
// Fetches and parses the users list, then the works list (GetGalleryDB). `lists`
// changes only on Loaded; a users list without one user is NoAccess. Settings
// that name no gallery server (whose files every work comes from) are NoServer,
// before any connection is tried.
EGalleryFetch FetchGalleryLists(TTransferContext& context, const TOnlineServers& servers, TGalleryLists& lists,
                                const TGalleryProgress& progress = {});

// A work's preview ("<id>.jpg"), decoded; nullopt when the fetch failed or the
// reply is not a JPEG. `connectionLost` tells a broken connection apart.
std::optional<TBitmap32> FetchGalleryPreview(TTransferContext& context, const TOnlineServers& servers,
                                             const TGallary& work, bool* connectionLost = nullptr);

// The file name a downloaded work is saved under: the author's caption, " - " and
// the work's name, made one safe name: no folder separators, control characters
// or characters other systems refuse, no leading dots or blanks, at most 120
// bytes (cut at a character boundary); "work" when nothing is left.
std::string GalleryFileName(std::string_view authorCaption, std::string_view workName);
// `folder` / (name + extension), or, when that exists, the first free
// "name (2)", "name (3)" ... so a download never replaces a file.
fs::path FreeFileName(const fs::path& folder, const std::string& name, std::string_view extension);

enum class EGalleryDownload { Saved, Failed, ConnectionLost, Stopped, UnknownKind };
struct TGalleryDownload {
  EGalleryDownload Result = EGalleryDownload::Failed;
  fs::path File;                     // where it was saved
  std::optional<TBitmap32> Picture;  // kind "0": the picture, for the viewer
};
// Downloads one work (DownloadGalleryWork): kind "0" as "<id>.jpeg", checked to
// decode as a JPEG and saved as it came into `pictureFolder` with ".jpg"; kind
// "1" as "<id>" + the work extension, checked to read as a compressed work and
// saved into `workFolder`. Other kinds are UnknownKind. Nothing is written on
// failure; a missing folder is created.
TGalleryDownload DownloadGalleryWork(TTransferContext& context, const TOnlineServers& servers, const TGallary& work,
                                     std::string_view authorCaption, const fs::path& pictureFolder,
                                     const fs::path& workFolder, const TGalleryProgress& progress = {});
// The lower-cased compressed-work extension, as the gallery names work files.
std::string GalleryWorkExtension();
