#pragma once
// The element download: a publisher's index fetched and compared with what is
// installed, and the chosen elements fetched and installed (templates, models,
// publisher messages, the questionnaire set, interface items in archive parts
// that resume). Runs on the window's thread; each fetch runs on the transfer
// context's worker while the window keeps handling its events.
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "online/ElementIndex.h"
#include "online/TransferContext.h"
#include "picture/Archive.h"

class TIniFile;
namespace fs = std::filesystem;

// The kinds of the download tree's nodes (the downloadable ones are 0, 4, 7, 8, 12).
enum EElementKind : int {
  ekTemplate = 0,
  ekTemplateGroup = 1,
  ekModelsGroup = 2,
  ekModelTypeGroup = 3,
  ekModel = 4,
  ekPublisher = 5,
  ekMessagesGroup = 6,
  ekMessage = 7,
  ekQuerySet = 8,
  ekInterface = 9,
  ekInterfacePartGroup = 10,
  ekInterfacesGroup = 11,
  ekInterfaceItem = 12,
};
bool IsDownloadableKind(int kind);

// The download list's total in kilobytes, as its label shows it: rounded, and 1
// for a total above 0 and below 500 bytes.
std::int64_t TotalKilobytes(std::int64_t bytes);

// How the analysis of a publisher ended.
enum class EAnalysis {
  NoNetwork,       // the network check failed: nothing to show
  NoAccess,        // unreachable server or failed index fetch
  ConnectionLost,
  Stopped,         // the user stopped the fetch: nothing to show
  NothingNew,
  NewElements,
};
struct TAnalysis {
  EAnalysis Result = EAnalysis::NoAccess;
  TNewElements Elements;
};

// One element to fetch (or an interface, whose preview the tree shows): what
// the tree's node carries.
struct TDownloadJob {
  int Kind = ekTemplate;
  std::string BaseUrl;  // the publisher's, with "/" at the end
  std::string Caption;
  std::int64_t Size = 0;
  std::optional<TElementRecord> Template;
  std::optional<TNewModel> Model;
  std::optional<TMessageRecord> Message;
  std::optional<TQuerySet> QuerySet;
  std::optional<TInterfaceItem> Interface;
  fs::path LocalPackedFile;  // a template's picture fetched with its preview
};

enum class EJobResult { Installed, Failed, ConnectionLost, Stopped };

// A part of an interface item still to fetch.
struct TMissingPart {
  int Number = 0;
  fs::path File;
  std::optional<std::int64_t> Size;
};

// Parts "part" + i + ".arh" (i from 0) of `partsFolder` that must be fetched:
// missing, or of another size than `sizes` gives (such a file is deleted).
std::vector<TMissingPart> CheckArchiveParts(const fs::path& partsFolder, int partCount,
                                            const std::vector<std::optional<std::int64_t>>& sizes);
bool AllPartsPresent(const fs::path& partsFolder, int partCount);

// Installs an interface item from its archive parts ("part0.arh" ... in
// `partsFolder`, joined when volume 0 says so) below `interfaces`: unpacked
// aside and moved in only when whole and when every file lies below
// `interfaceFolder`. The parts are deleted either way. Fails, with nothing
// installed, as the extraction does, with UnsafeName for a file outside
// `interfaceFolder` and CannotWrite when the files cannot be moved in.
TFileResult<> InstallInterfaceParts(const fs::path& partsFolder, const fs::path& interfaces,
                                    std::string_view interfaceFolder, const TArchiveProgress& progress = {});

// Where the run stands, for the window's display.
struct TDownloadProgress {
  std::int64_t Total = 0;      // the checked sizes
  std::int64_t Done = 0;       // sizes of the jobs finished
  std::int64_t BytesPerSecond = 0;
  int TotalBar = 0;            // Done of Total, 0..100
};

class TElementDownloader {
 public:
  TElementDownloader(TTransferContext& context, TIniFile& ini, fs::path exePath);

  const TDownloadSettings& Settings() const { return settings_; }
  // Re-reads the settings (after the ini changed under the window).
  void ReloadSettings();
  const std::string& BaseUrl() const { return baseUrl_; }
  void SetBaseUrl(std::string_view url);

  // One fetch of `relativePath` (lower-cased, below the base URL). The reply is
  // saved to `file` when one is named; `reply` receives it otherwise. With
  // `exactSize` the reply must have exactly `expected` bytes.
  bool DownloadFile(std::string_view relativePath, const fs::path& file, std::int64_t expected,
                    std::string* reply = nullptr, bool exactSize = false);
  // The status of the last fetch (kTransferConnectionLost and so on).
  int LastStatus() const;

  TAnalysis AnalyzeServer(std::string_view publisherUrl);

  // The preview picture of a template, model or interface, as packed picture
  // bytes. A template preview whose record says the preview is the picture
  // itself (field 7 "0") is also kept in `keptFile`, which its download then
  // converts instead of fetching again; an interface's is also saved as
  // "preview.jpg" in the interface's folder.
  std::string PreviewPath(const TDownloadJob& job) const;
  bool FetchPreview(const TDownloadJob& job, std::string& packed, fs::path* keptFile = nullptr);

  // Fetches and installs one element.
  EJobResult RunJob(const TDownloadJob& job);
  // Why the last job's archive was refused, in words for a user; empty when no
  // more is known.
  const std::string& JobProblem() const { return jobProblem_; }
  // The whole run: each job in order; `jobDone` hears of each ended job. A stop
  // or a lost connection ends the run early and no report is sent; the first run
  // that reaches its end sends the download report, later ones do not. True
  // when it reached its end.
  bool Run(const std::vector<TDownloadJob>& jobs,
           const std::function<void(std::size_t index, EJobResult result)>& jobDone);
  // Asks the running fetch and the run to stop.
  void Stop();
  bool StopRequested() const { return stop_; }

  // Display hooks, called on the window's thread.
  std::function<void(std::int64_t total, std::int64_t received)> OnProgress;
  std::function<void(const std::string& text)> OnLabel;
  std::function<void(const TDownloadProgress&)> OnTotals;

  // The short date text of the download report (tests set it).
  std::function<std::string()> ReportDate;
  // How long the publisher's index may take to arrive.
  std::chrono::milliseconds IndexDeadline = kListDeadline;

 private:
  bool Fetch(TTransferRequest request, std::string* reply = nullptr);
  bool FetchPackedPicture(const TElementRecord& record, const fs::path& target, const fs::path& localPacked);
  EJobResult InstallTemplate(const TDownloadJob& job);
  // The model's thumbnail (its preview) saved where its header then points;
  // the header line to write. `broken` on a lost connection or a stop.
  std::string InstallModelThumbnail(const TDownloadJob& job, bool& broken);
  EJobResult InstallModel(const TDownloadJob& job);
  EJobResult InstallMessage(const TDownloadJob& job);
  EJobResult InstallQuerySet(const TDownloadJob& job);
  EJobResult InstallInterfaceItem(const TDownloadJob& job);
  EJobResult FailureOfLastFetch() const;
  // Runs `work` (an unpacking) on a thread of its own while the window goes on
  // handling its events and shows its progress; its result, and an archive's
  // refusal over its cap in JobProblem.
  TFileResult<> Aside(const std::function<TFileResult<>(const TArchiveProgress&)>& work);
  void SendReport();

  TTransferContext& context_;
  TIniFile& ini_;
  fs::path exePath_;
  TDownloadSettings settings_;
  std::string baseUrl_;
  bool stop_ = false;
  bool templateLineWritten_ = false;
  bool reportSent_ = false;
  std::string jobProblem_;
};
