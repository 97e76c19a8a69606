#include "online/ElementDownload.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

#include <unistd.h>

#include "online/OnlineRecords.h"
#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "picture/Archive.h"
#include "picture/PackedPicture.h"
#include "picture/PsdFile.h"
#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

namespace {

std::string WithSlashes(std::string path) {
  for (char& c : path)
    if (c == '\\') c = '/';
  return path;
}

std::string PartFileName(int number) { return "part" + std::to_string(number) + ".arh"; }

// A number of the index as the template list holds it: an integer, else 0.
std::string IntegerOr0(std::string_view text) {
  const std::optional<int> value = ParseInt(Trim(text));
  return std::to_string(value.value_or(0));
}

std::string DefaultReportDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d.%m.%Y", &local);
  return text;
}

// Removes a folder of ours with everything in it; links inside are removed,
// never followed.
void RemoveTree(const fs::path& folder) {
  std::error_code ec;
  fs::remove_all(folder, ec);
}

// Whether `target` (below `to`) can take a file: no folder in its place and no
// file in place of a folder on its way.
bool RoomForFile(const fs::path& to, const fs::path& target) {
  std::error_code ec;
  if (fs::is_directory(target, ec)) return false;
  for (fs::path folder = target.parent_path(); folder != to && folder.has_relative_path();
       folder = folder.parent_path())
    if (fs::exists(fs::symlink_status(folder, ec)) && !fs::is_directory(folder, ec)) return false;
  return true;
}

// Moves every file below `from` to the same place below `to`, replacing what is
// there. False, with nothing moved, when one has no room there; false also when
// a move fails.
bool MoveFilesInto(const fs::path& from, const fs::path& to) {
  std::vector<std::string> files;
  ListFilesInTree(from, "", files);
  for (const std::string& name : files)
    if (!RoomForFile(to, ResolvePath(to, name))) return false;
  for (const std::string& name : files) {
    const fs::path source = from / fs::path(WithSlashes(name));
    const fs::path target = ResolvePath(to, name);
    std::error_code ec;
    fs::create_directories(target.parent_path(), ec);
    fs::rename(source, target, ec);
    if (ec) return false;
  }
  return true;
}

}  // namespace

TFileResult<> InstallInterfaceParts(const fs::path& partsFolder, const fs::path& interfaces,
                                    std::string_view interfaceFolder, const TArchiveProgress& progress) {
  // Unpacked aside and moved in only when whole, and only below the
  // interface's own folder: a failure never touches an installed interface.
  const fs::path staging = interfaces / ("~staging." + std::to_string(::getpid()));
  RemoveTree(staging);
  TFileResult<> installed = ExtractMultiVolumeArchive((partsFolder / "part").string(), staging, progress);
  if (installed) {
    std::vector<std::string> files;
    ListFilesInTree(staging, "", files);
    const std::string prefix = LowerAscii(interfaceFolder) + "\\";
    for (const std::string& file : files)
      if (installed && !StartsWithNoCase(file, prefix))
        installed = FileError(TFileFault::UnsafeName, partsFolder / PartFileName(0), 0,
                              "the file \"" + file + "\" in it lies outside the interface's folder");
  }
  if (installed && !MoveFilesInto(staging, interfaces)) installed = FileError(TFileFault::CannotWrite, interfaces);
  RemoveTree(staging);
  // Broken parts would only break again: the next run fetches them afresh.
  DeleteFilesInTree(partsFolder);
  std::error_code ec;
  fs::remove(partsFolder, ec);
  return installed;
}

bool IsDownloadableKind(int kind) {
  return kind == ekTemplate || kind == ekModel || kind == ekMessage || kind == ekQuerySet || kind == ekInterfaceItem;
}

std::int64_t TotalKilobytes(std::int64_t bytes) {
  if (bytes <= 0) return 0;
  return std::max<std::int64_t>(1, (bytes + 500) / 1000);
}

std::vector<TMissingPart> CheckArchiveParts(const fs::path& partsFolder, int partCount,
                                            const std::vector<std::optional<std::int64_t>>& sizes) {
  std::vector<TMissingPart> missing;
  for (int i = 0; i < partCount; ++i) {
    const fs::path file = partsFolder / PartFileName(i);
    const std::optional<std::int64_t> size = i < static_cast<int>(sizes.size()) ? sizes[i] : std::nullopt;
    std::error_code ec;
    if (fs::is_regular_file(file, ec)) {
      const auto onDisk = fs::file_size(file, ec);
      if (!size || (!ec && static_cast<std::int64_t>(onDisk) == *size)) continue;
      fs::remove(file, ec);
    }
    missing.push_back({i, file, size});
  }
  return missing;
}

bool AllPartsPresent(const fs::path& partsFolder, int partCount) {
  std::error_code ec;
  for (int i = 0; i < partCount; ++i)
    if (!fs::is_regular_file(partsFolder / PartFileName(i), ec)) return false;
  return partCount > 0;
}

TElementDownloader::TElementDownloader(TTransferContext& context, TIniFile& ini, fs::path exePath)
    : context_(context), ini_(ini), exePath_(std::move(exePath)), settings_(ReadDownloadSettings(ini)) {}

void TElementDownloader::ReloadSettings() { settings_ = ReadDownloadSettings(ini_); }

void TElementDownloader::SetBaseUrl(std::string_view url) { baseUrl_ = PublisherBaseUrl(url); }

int TElementDownloader::LastStatus() const { return context_.Status(); }

bool TElementDownloader::DownloadFile(std::string_view relativePath, const fs::path& file, std::int64_t expected,
                                      std::string* reply, bool exactSize) {
  TTransferRequest request;
  request.url = DownloadFileUrl(baseUrl_, PublisherFilePath(relativePath));
  request.fileName = file;
  request.expectedTotal = expected;
  request.requireExpectedSize = exactSize;
  request.binary = reply != nullptr;
  return Fetch(std::move(request), reply);
}

bool TElementDownloader::Fetch(TTransferRequest request, std::string* reply) {
  TTransferCallbacks callbacks;
  callbacks.progress = [this](std::int64_t total, std::int64_t received) {
    if (OnProgress) OnProgress(total, received);
  };
  return context_.Run(std::move(request), std::move(callbacks), reply);
}

EJobResult TElementDownloader::FailureOfLastFetch() const {
  if (stop_ || context_.Stopped()) return EJobResult::Stopped;
  if (context_.Status() == kTransferConnectionLost) return EJobResult::ConnectionLost;
  return EJobResult::Failed;
}

TAnalysis TElementDownloader::AnalyzeServer(std::string_view publisherUrl) {
  TAnalysis analysis;
  stop_ = false;
  SetBaseUrl(publisherUrl);
  context_.CloseConnection();
  if (IsConnectionError(context_.AttemptConnect())) {
    analysis.Result = EAnalysis::NoNetwork;
    return analysis;
  }
  // The index is read as it arrives, as a list: under the lists' deadline and
  // size, and never held whole.
  TIndexReader reader;
  TTransferRequest request;
  request.url = DownloadFileUrl(baseUrl_, PublisherFilePath("server" + settings_.LangExt));
  request.consume = [&reader](std::string_view block) {
    reader.Add(block);
    return true;
  };
  request.maxBytes = kMaxIndexBytes;
  request.deadline = IndexDeadline;
  if (!Fetch(std::move(request))) {
    const EJobResult failure = FailureOfLastFetch();
    analysis.Result = failure == EJobResult::Stopped          ? EAnalysis::Stopped
                      : failure == EJobResult::ConnectionLost ? EAnalysis::ConnectionLost
                                                              : EAnalysis::NoAccess;
    return analysis;
  }
  analysis.Elements = AnalyzeIndex(reader.Finish(), ini_, settings_, exePath_);
  analysis.Result = analysis.Elements.Any() ? EAnalysis::NewElements : EAnalysis::NothingNew;
  return analysis;
}

std::string TElementDownloader::PreviewPath(const TDownloadJob& job) const {
  if (job.Kind == ekTemplate && job.Template) {
    const TDownloadType* type = settings_.KnownType(job.Template->TypeNo);
    const auto file = SafeRelativePath(job.Template->Field(4));
    if (type && file) return type->Folder + ChangeFileExt(*file, "") + ".sht";
  }
  if (job.Kind == ekModel && job.Model) {
    if (const auto folder = SafeRelativePath(job.Model->Folder)) return "models\\" + *folder + "\\" + *folder + ".sht";
  }
  if ((job.Kind == ekInterface || job.Kind == ekInterfaceItem) && job.Interface) {
    if (SafeRelativePath(job.Interface->InterfaceFolder))
      return settings_.InterfacesDir + job.Interface->InterfaceFolder + "\\preview.sht";
  }
  return {};
}

bool TElementDownloader::FetchPreview(const TDownloadJob& job, std::string& packed, fs::path* keptFile) {
  const std::string path = PreviewPath(job);
  if (path.empty()) return false;
  SetBaseUrl(job.BaseUrl);
  if (!DownloadFile(path, {}, 0, &packed)) return false;
  if (keptFile && job.Kind == ekTemplate && job.Template->Field(7) == "0") {
    const fs::path file = NewTempFilePath(".sht");
    if (WriteFileAtomic(file, std::string_view(packed))) *keptFile = file;
  }
  if (job.Kind == ekInterface) {
    // The interface's own preview, beside its folders.
    const fs::path folder = ProgramFileForWriting(exePath_, settings_.InterfacesDir + job.Interface->InterfaceFolder);
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (const auto preview = PackedStringToJpegPreview(packed, 100, 100)) preview->SaveToFile(folder / "preview.jpg");
  }
  return true;
}

bool TElementDownloader::FetchPackedPicture(const TElementRecord& record, const fs::path& target,
                                            const fs::path& localPacked) {
  const TDownloadType* type = settings_.KnownType(record.TypeNo);
  const std::optional<std::string> file = SafeRelativePath(record.Field(4));
  if (!type || !file) return false;
  std::error_code ec;
  const bool sheet = record.Field(7) == "0";
  if (sheet && !localPacked.empty() && fs::is_regular_file(localPacked, ec)) {
    fs::create_directories(target.parent_path(), ec);
    return PackedPictureFileToPsd(localPacked, target).Ok();
  }
  std::string data;
  const std::string path = type->Folder + ChangeFileExt(*file, "") + (sheet ? ".sht" : ".fll");
  if (!DownloadFile(path, {}, record.Size, &data)) return false;
  fs::create_directories(target.parent_path(), ec);
  return PackedStringToPsdFile(data, target).Ok();
}

EJobResult TElementDownloader::InstallTemplate(const TDownloadJob& job) {
  const TElementRecord& record = *job.Template;
  const TDownloadType* type = settings_.KnownType(record.TypeNo);
  const std::string key = record.Key();
  if (!type || !SafeRelativePath(key)) return EJobResult::Failed;
  const std::string fileName = key + ".psd";
  const fs::path target = ProgramFileForWriting(exePath_, type->Folder + fileName);
  if (!FetchPackedPicture(record, target, job.LocalPackedFile)) return FailureOfLastFetch();
  // Installed only once the list names it: a run stopped before this line
  // leaves the element new.
  const std::string line = record.Field(1) + ";" + IntegerOr0(record.Field(2)) + ";" + IntegerOr0(record.Field(3)) +
                           ";" + fileName + ";" + record.Field(5) + ";" + record.Field(6) + ";";
  const fs::path list = ProgramFileForWriting(exePath_, settings_.PartBase);
  if ((!templateLineWritten_ && !AppendTextLine(list, "")) || !AppendTextLine(list, line)) {
    std::error_code ec;
    fs::remove(target, ec);
    return EJobResult::Failed;
  }
  templateLineWritten_ = true;
  return EJobResult::Installed;
}

std::string TElementDownloader::InstallModelThumbnail(const TDownloadJob& job, bool& broken) {
  const TNewModel& model = *job.Model;
  broken = false;
  const std::optional<std::string> folder = SafeRelativePath(model.Folder);
  if (!folder) return model.Header;
  std::error_code ec;
  // A thumbnail the installation already has is used as it is.
  if (fs::is_regular_file(ProgramFileForReading(exePath_, *folder), ec)) return model.Header;
  std::string packed;
  if (!DownloadFile(PreviewPath(job), {}, 0, &packed)) {
    broken = stop_ || context_.Stopped() || context_.Status() == kTransferConnectionLost;
    return model.Header;  // a model without its thumbnail still serves
  }
  const std::string thumbnail = "models\\" + *folder + "\\" + *folder + ".psd";
  const fs::path file = ProgramFileForWriting(exePath_, thumbnail);
  fs::create_directories(file.parent_path(), ec);
  if (!PackedStringToPsdFile(packed, file)) return model.Header;
  // The header's picture field names the thumbnail where it now lies.
  const std::size_t open = model.Header.find('['), close = model.Header.rfind(']');
  if (open == std::string::npos || close == std::string::npos || close <= open) return model.Header;
  std::vector<std::string> fields = SplitFields(model.Header.substr(open + 1, close - open - 1), ';');
  if (fields.size() < 3) return model.Header;
  fields[2] = thumbnail;
  std::string header = "[";
  for (std::size_t i = 0; i < fields.size(); ++i) header += (i ? ";" : "") + fields[i];
  return header + "]";
}

EJobResult TElementDownloader::InstallModel(const TDownloadJob& job) {
  const TNewModel& model = *job.Model;
  bool broken = false;
  std::vector<std::string> lines{InstallModelThumbnail(job, broken)};
  if (broken) return FailureOfLastFetch();
  for (const std::string& part : model.Parts) {
    const std::vector<std::string> fields = SplitFields(part, ';');
    // The marker is the last field before the closing ";".
    const std::string marker = fields.size() >= 2 ? Trim(fields[fields.size() - 2]) : std::string();
    const std::optional<TElementRecord> record = ParseElementRecord(part);
    const TDownloadType* type = record ? settings_.KnownType(record->TypeNo) : nullptr;
    if (!type || !SafeRelativePath(record->Key())) return EJobResult::Failed;
    const std::string file = type->Folder + record->Key() + ".psd";
    if (marker == "1" && !FetchPackedPicture(*record, ProgramFileForWriting(exePath_, file), {})) return FailureOfLastFetch();
    // As the ready solutions read a part: offsets as integers, the picture's
    // path below the program's folder.
    std::string line = record->Field(1) + ";" + IntegerOr0(record->Field(2)) + ";" + IntegerOr0(record->Field(3)) +
                       ";" + file + ";";
    for (int i = 5; i <= 8; ++i) line += record->Field(i) + ";";
    lines.push_back(line + (marker == "1" ? "1;" : "0;"));
  }
  const fs::path list = ProgramFileForWriting(exePath_, settings_.Models);
  for (const std::string& line : lines)
    if (!AppendTextLine(list, line)) return EJobResult::Failed;
  return EJobResult::Installed;
}

EJobResult TElementDownloader::InstallMessage(const TDownloadJob& job) {
  const TMessageRecord& message = *job.Message;
  if (!SafeRelativePath(message.Folder)) return EJobResult::Failed;
  const fs::path folder = ProgramFileForWriting(exePath_, settings_.MessagesDir + message.Folder);
  const fs::path archive = NewTempFilePath(".arh");
  if (!DownloadFile(settings_.MessagesDir + message.Folder + settings_.LangExt, archive, message.Size))
    return FailureOfLastFetch();
  std::error_code ec;
  const bool fresh = !fs::exists(folder, ec);
  fs::create_directories(folder, ec);
  const TFileResult<> extracted =
      Aside([&](const TArchiveProgress& progress) { return ExtractArchive(archive, folder, progress); });
  fs::remove(archive, ec);
  if (!extracted) {
    // Nothing of a refused message stays.
    if (fresh) RemoveTree(folder);
    return EJobResult::Failed;
  }
  // The folder is written as the messages window reads it: relative to the
  // messages folder.
  return ini_.WriteString("MESSAGES", message.Folder, message.Folder + ";" + message.Subject + ";")
             ? EJobResult::Installed
             : EJobResult::Failed;
}

EJobResult TElementDownloader::InstallQuerySet(const TDownloadJob& job) {
  const TQuerySet& set = *job.QuerySet;
  if (!SafeRelativePath(set.Name)) return EJobResult::Failed;
  const fs::path archive = NewTempFilePath(".arh");
  if (!DownloadFile(settings_.QueriesDir + set.Name, archive, set.Size)) return FailureOfLastFetch();
  const fs::path folder = ProgramFileForWriting(exePath_, settings_.QueriesDir);
  std::error_code ec;
  fs::create_directories(folder, ec);
  const TFileResult<> extracted =
      Aside([&](const TArchiveProgress& progress) { return ExtractArchive(archive, folder, progress); });
  fs::remove(archive, ec);
  if (!extracted) return EJobResult::Failed;
  return ini_.WriteString("QUERIES", "Query", set.IniValue()) ? EJobResult::Installed : EJobResult::Failed;
}

EJobResult TElementDownloader::InstallInterfaceItem(const TDownloadJob& job) {
  const TInterfaceItem& item = *job.Interface;
  if (!SafeRelativePath(item.InterfaceFolder) || !SafeRelativePath(item.ItemFolder)) return EJobResult::Failed;
  std::error_code ec;
  // The folders this run makes go again when it leaves no part in them, the
  // deepest first.
  std::vector<std::string> made;
  for (const std::string& folder : {item.PartsFolder(settings_), item.ElementFolder(settings_),
                                    settings_.InterfacesDir + item.InterfaceFolder})
    if (!fs::exists(ProgramFileForReading(exePath_, folder), ec)) made.push_back(folder);
  auto leaveNothing = [this, &made](EJobResult result) {
    std::error_code ignored;
    for (const std::string& folder : made) fs::remove(ProgramFileForReading(exePath_, folder), ignored);  // if empty
    return result;
  };
  const fs::path partsFolder = ProgramFileForWriting(exePath_, item.PartsFolder(settings_));
  fs::create_directories(partsFolder, ec);
  // Parts complete on disk stay: a broken run resumes at the first missing one.
  // They are asked for where they are kept: below the element's "Arh" folder.
  for (const TMissingPart& part : CheckArchiveParts(partsFolder, item.PartCount, item.PartSizes)) {
    if (stop_) return leaveNothing(EJobResult::Stopped);
    if (OnLabel) OnLabel(job.Caption + " " + std::to_string(part.Number));
    const std::string path = item.PartsFolder(settings_) + "\\" + PartFileName(part.Number);
    if (!DownloadFile(path, part.File, part.Size.value_or(0), nullptr, part.Size.has_value()))
      return leaveNothing(FailureOfLastFetch());
  }
  if (!AllPartsPresent(partsFolder, item.PartCount)) return leaveNothing(EJobResult::Failed);
  const fs::path interfaces = ProgramFileForWriting(exePath_, settings_.InterfacesDir);
  if (!Aside([&](const TArchiveProgress& progress) {
        return InstallInterfaceParts(partsFolder, interfaces, item.InterfaceFolder, progress);
      }))
    return leaveNothing(EJobResult::Failed);
  fs::create_directories(ProgramFileForWriting(exePath_, item.ElementFolder(settings_)), ec);

  bool registered = false;
  const std::vector<std::string> keys = ini_.ReadSection("Interfaces");
  for (const std::string& key : keys)
    if (EqualsNoCase(Trim(Field(ini_.ReadString("Interfaces", key, ""), 1)), item.InterfaceFolder)) registered = true;
  if (!registered) {
    std::size_t number = keys.size() + 1;
    while (ini_.ValueExists("Interfaces", "Interface" + std::to_string(number))) ++number;
    // As the interface list reads it: folder, caption, active flag.
    if (!ini_.WriteString("Interfaces", "Interface" + std::to_string(number),
                          item.InterfaceFolder + ";" + item.InterfaceName + ";0;"))
      return EJobResult::Failed;
  }
  return EJobResult::Installed;
}

TFileResult<> TElementDownloader::Aside(const std::function<TFileResult<>(const TArchiveProgress&)>& work) {
  IOwnerThread& owner = context_.Owner();
  // What the unpacking has done, shown one report at a time; reports still
  // queued when it has ended are dropped.
  struct TShared {
    std::atomic<std::uint64_t> written{0}, total{0};
    std::atomic<bool> queued{false};
    bool over = false;  // owner's thread only
  };
  const auto shared = std::make_shared<TShared>();
  const TArchiveProgress progress = [this, &owner, shared](std::uint64_t written, std::uint64_t total) {
    shared->written.store(written);
    shared->total.store(total);
    if (shared->queued.exchange(true)) return;
    owner.Post([this, shared] {
      shared->queued.store(false);
      if (!shared->over && OnProgress)
        OnProgress(static_cast<std::int64_t>(shared->total.load()), static_cast<std::int64_t>(shared->written.load()));
    });
  };
  std::atomic<bool> done{false};
  TFileResult<> result;
  std::thread worker([&] {
    result = work(progress);
    done.store(true);
    // Wakes the owner to see it, after the last report.
    owner.Post([] {});
  });
  owner.RunUntil([&] { return done.load(); });
  worker.join();
  // The last report, whether or not its queued one ran yet.
  if (result && OnProgress && shared->queued.load())
    OnProgress(static_cast<std::int64_t>(shared->total.load()), static_cast<std::int64_t>(shared->written.load()));
  shared->over = true;
  // The user hears why of an archive refused for what it would write; any
  // other failure is told as the job's failure alone.
  if (!result && result.Error().Cause == TFileFault::OverCap) jobProblem_ = result.Error().Reason();
  return result;
}

EJobResult TElementDownloader::RunJob(const TDownloadJob& job) {
  SetBaseUrl(job.BaseUrl);
  jobProblem_.clear();
  try {
    switch (job.Kind) {
      case ekTemplate: return job.Template ? InstallTemplate(job) : EJobResult::Failed;
      case ekModel: return job.Model ? InstallModel(job) : EJobResult::Failed;
      case ekMessage: return job.Message ? InstallMessage(job) : EJobResult::Failed;
      case ekQuerySet: return job.QuerySet ? InstallQuerySet(job) : EJobResult::Failed;
      case ekInterfaceItem: return job.Interface ? InstallInterfaceItem(job) : EJobResult::Failed;
      default: return EJobResult::Failed;
    }
  } catch (const std::exception&) {
    return EJobResult::Failed;
  }
}

void TElementDownloader::Stop() {
  stop_ = true;
  context_.Stop();
}

bool TElementDownloader::Run(const std::vector<TDownloadJob>& jobs,
                             const std::function<void(std::size_t, EJobResult)>& jobDone) {
  stop_ = false;
  templateLineWritten_ = false;
  TDownloadProgress progress;
  for (const TDownloadJob& job : jobs) progress.Total += job.Size;
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    if (stop_) return false;
    const auto start = std::chrono::steady_clock::now();
    if (OnLabel) OnLabel(jobs[i].Caption);
    const EJobResult result = RunJob(jobs[i]);
    if (jobDone) jobDone(i, result);
    if (result == EJobResult::Stopped || result == EJobResult::ConnectionLost) return false;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start).count();
    progress.Done += jobs[i].Size;
    progress.TotalBar = ProgressBarPosition(progress.Total, progress.Done);
    progress.BytesPerSecond = jobs[i].Size / (seconds + 1);
    if (OnTotals) OnTotals(progress);
  }
  if (stop_) return false;
  // One report per window, from the first run that gets here.
  if (!reportSent_) SendReport();
  reportSent_ = true;
  return true;
}

void TElementDownloader::SendReport() {
  const std::string date = ReportDate ? ReportDate() : DefaultReportDate();
  TTransferRequest request;
  request.url = DownloadFileUrl(settings_.CGIServer, DownloadReportPath(BuildUserString(ini_), date));
  request.binary = true;
  context_.Run(std::move(request));
}
