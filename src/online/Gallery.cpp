#include "online/Gallery.h"

#include <algorithm>

#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "picture/Jpeg.h"
#include "picture/LoadedWork.h"
#include "platform/FileIO.h"
#include "platform/Text.h"
#include "shell/ProductInfo.h"

namespace {

constexpr std::size_t kMaxFileNameBytes = 120;

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

std::span<const std::uint8_t> Bytes(const std::string& text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TTransferCallbacks ProgressCallbacks(const TGalleryProgress& progress) {
  TTransferCallbacks callbacks;
  if (progress) callbacks.progress = progress;
  return callbacks;
}

EGalleryDownload FailureOf(const TTransferContext& context) {
  if (context.Stopped()) return EGalleryDownload::Stopped;
  if (context.Status() == kTransferConnectionLost) return EGalleryDownload::ConnectionLost;
  return EGalleryDownload::Failed;
}

}  // namespace

std::size_t NumberPositionInWorkId(std::string_view workId, std::string_view userNumber) {
  if (userNumber.empty()) return std::string_view::npos;
  for (std::size_t at = workId.find(userNumber); at != std::string_view::npos; at = workId.find(userNumber, at + 1)) {
    const std::size_t end = at + userNumber.size();
    if ((at == 0 || !IsAsciiDigit(workId[at - 1])) && (end == workId.size() || !IsAsciiDigit(workId[end]))) return at;
  }
  return std::string_view::npos;
}

bool WorkBelongsTo(std::string_view workId, std::string_view userNumber) {
  return NumberPositionInWorkId(workId, userNumber) != std::string_view::npos;
}

std::vector<TGalleryAuthor> BuildGalleryAuthors(const std::vector<TRegistrationRecord>& users,
                                                const std::vector<TGallary>& works) {
  std::vector<const TRegistrationRecord*> sorted;
  for (const TRegistrationRecord& user : users) sorted.push_back(&user);
  std::stable_sort(sorted.begin(), sorted.end(), [](const TRegistrationRecord* a, const TRegistrationRecord* b) {
    return ParseIntDef(Trim(a->SortKey), 0) < ParseIntDef(Trim(b->SortKey), 0);
  });
  // Each work goes to the user whose number stands first in its id: in "12-1"
  // author 12's, not author 1's.
  std::vector<std::size_t> owner(works.size(), sorted.size());
  for (std::size_t i = 0; i < works.size(); ++i) {
    std::size_t first = std::string_view::npos;
    for (std::size_t u = 0; u < sorted.size(); ++u) {
      const std::size_t at = NumberPositionInWorkId(works[i].Id, sorted[u]->UserNumber);
      if (at < first) {
        first = at;
        owner[i] = u;
      }
    }
  }
  std::vector<TGalleryAuthor> authors;
  for (std::size_t u = 0; u < sorted.size(); ++u) {
    TGalleryAuthor author{sorted[u]->FirstName + " " + sorted[u]->SecondName, sorted[u]->UserNumber, {}};
    for (std::size_t i = 0; i < works.size(); ++i)
      if (owner[i] == u) author.Works.push_back(i);
    if (!author.Works.empty()) authors.push_back(std::move(author));
  }
  return authors;
}

bool WorkMatches(const TGallary& work, const TAttributeChoice& choice) {
  for (int n = 0; n < kGalleryAttributes; ++n) {
    const std::vector<int>& allowed = choice[std::size_t(n)];
    if (allowed.empty()) continue;
    const std::optional<int> value = AttributeDigitAt(work.Attributes, n);
    if (!value || std::find(allowed.begin(), allowed.end(), *value) == allowed.end()) return false;
  }
  return true;
}

std::vector<std::size_t> SearchGalleryWorks(const std::vector<TGallary>& works, const TAttributeChoice& choice) {
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < works.size(); ++i)
    if (WorkMatches(works[i], choice)) found.push_back(i);
  return found;
}

EGalleryFetch FetchGalleryLists(TTransferContext& context, const TOnlineServers& servers, TGalleryLists& lists,
                                const TGalleryProgress& progress) {
  if (Trim(servers.GalleryServer).empty()) return EGalleryFetch::NoServer;
  if (IsConnectionError(context.AttemptConnect())) return EGalleryFetch::NoNetwork;
  context.CloseConnection();
  auto fetch = [&](std::string url, std::string& text) {
    TTransferRequest request;
    request.url = std::move(url);
    request.mode = 0;
    // The lists are files judged by their status: a work named "Not found" is a name.
    request.binary = true;
    return context.Run(std::move(request), ProgressCallbacks(progress), &text);
  };
  std::string text;
  if (!fetch(GalleryUsersListUrl(servers), text)) return context.Stopped() ? EGalleryFetch::Stopped : EGalleryFetch::NoAccess;
  TGalleryLists fresh;
  fresh.Users = ParseUsersList(text);
  if (fresh.Users.empty()) return EGalleryFetch::NoAccess;
  text.clear();
  if (!fetch(GalleryWorksListUrl(servers), text)) return context.Stopped() ? EGalleryFetch::Stopped : EGalleryFetch::NoAccess;
  fresh.Works = ParseGalleryWorksList(text);
  fresh.Authors = BuildGalleryAuthors(fresh.Users, fresh.Works);
  lists = std::move(fresh);
  return EGalleryFetch::Loaded;
}

std::optional<TBitmap32> FetchGalleryPreview(TTransferContext& context, const TOnlineServers& servers,
                                             const TGallary& work, bool* connectionLost) {
  if (connectionLost) *connectionLost = false;
  TTransferRequest request;
  request.url = GalleryFileUrl(servers, work.Id, ".jpg");
  request.mode = 1;
  request.binary = true;
  std::string reply;
  if (!context.Run(std::move(request), {}, &reply)) {
    if (connectionLost) *connectionLost = context.Status() == kTransferConnectionLost;
    return std::nullopt;
  }
  TFileResult<TBitmap32> decoded = DecodeJpeg(Bytes(reply));
  if (!decoded) return std::nullopt;
  return *std::move(decoded);
}

std::string GalleryFileName(std::string_view authorCaption, std::string_view workName) {
  const std::string joined = std::string(authorCaption) + " - " + std::string(workName);
  std::string name;
  for (char c : joined) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) continue;
    name += std::string_view("/\\:*?\"<>|").find(c) == std::string_view::npos ? c : '_';
  }
  name = Trim(name);
  // A leading dot would hide the file; trailing dots and blanks are refused elsewhere.
  while (!name.empty() && (name.front() == '.' || name.front() == ' ')) name.erase(0, 1);
  if (name.size() > kMaxFileNameBytes) {
    std::size_t cut = kMaxFileNameBytes;
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80) --cut;
    name.resize(cut);
  }
  while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
  return name.empty() ? "work" : name;
}

fs::path FreeFileName(const fs::path& folder, const std::string& name, std::string_view extension) {
  std::error_code ec;
  fs::path file = folder / (name + std::string(extension));
  for (int n = 2; fs::symlink_status(file, ec).type() != fs::file_type::not_found && n < 10000; ++n)
    file = folder / (name + " (" + std::to_string(n) + ")" + std::string(extension));
  return file;
}

std::string GalleryWorkExtension() { return LowerAscii(CompressedWorkExt); }

TGalleryDownload DownloadGalleryWork(TTransferContext& context, const TOnlineServers& servers, const TGallary& work,
                                     std::string_view authorCaption, const fs::path& pictureFolder,
                                     const fs::path& workFolder, const TGalleryProgress& progress) {
  TGalleryDownload download;
  const bool picture = work.Kind == "0";
  if (!picture && work.Kind != "1") {
    download.Result = EGalleryDownload::UnknownKind;
    return download;
  }
  TTransferRequest request;
  request.url = GalleryFileUrl(servers, work.Id, picture ? ".jpeg" : GalleryWorkExtension());
  request.mode = 1;
  request.binary = true;
  std::string reply;
  if (!context.Run(std::move(request), ProgressCallbacks(progress), &reply)) {
    download.Result = FailureOf(context);
    return download;
  }
  // A reply that is not what the list promised is never saved.
  if (picture) {
    TFileResult<TBitmap32> decoded = DecodeJpeg(Bytes(reply));
    if (!decoded) return download;
    download.Picture = *std::move(decoded);
  } else {
    if (!TLoadedWork::Read(std::vector<std::uint8_t>(reply.begin(), reply.end()), true)) return download;
  }
  const fs::path& folder = picture ? pictureFolder : workFolder;
  std::error_code ec;
  fs::create_directories(folder, ec);
  const fs::path file =
      FreeFileName(folder, GalleryFileName(authorCaption, work.Name), picture ? ".jpg" : GalleryWorkExtension());
  if (!WriteFileAtomic(file, std::string_view(reply))) {
    download.Picture.reset();
    return download;
  }
  download.File = file;
  download.Result = EGalleryDownload::Saved;
  return download;
}
