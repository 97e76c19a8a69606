#include "support/StandInPublisher.h"

#include <algorithm>

namespace {
constexpr const char* kScript = "/cgi-bin/kzserver";

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}
std::string PubPath(const std::string& relative) {
  std::string path = Lower(relative);
  std::replace(path.begin(), path.end(), '\\', '/');
  return "/pub/" + path;
}
}  // namespace

TStandInPublisher::TStandInPublisher(TLoopbackLimits limits) : server_(limits) {
  server_.Fallback([this](const TServedRequest& request) { return Serve(request); });
}

std::string TStandInPublisher::BaseUrl() const { return server_.Url("/pub/"); }
std::string TStandInPublisher::CgiServer() const { return server_.Url(std::string(kScript) + "?kztype="); }

void TStandInPublisher::AddIndexLines(const std::string& section, const std::vector<std::string>& lines) {
  std::lock_guard lock(mutex_);
  for (auto& [name, items] : sections_)
    if (name == section) {
      items.insert(items.end(), lines.begin(), lines.end());
      return;
    }
  sections_.emplace_back(section, lines);
}

void TStandInPublisher::AddRawIndexText(const std::string& text) {
  std::lock_guard lock(mutex_);
  rawIndex_ += text;
}

void TStandInPublisher::AddFile(const std::string& path, const std::string& bytes) {
  std::lock_guard lock(mutex_);
  files_[PubPath(path)] = bytes;
}

std::vector<std::string> TStandInPublisher::AddInterfaceParts(const std::string& elementFolder,
                                                              const std::vector<TArchiveEntry>& entries, int parts) {
  std::vector<std::string> volumes = MakeArchiveVolumes(entries, parts);
  for (int i = 0; i < parts; ++i) AddFile(elementFolder + "/part" + std::to_string(i) + ".arh", volumes[i]);
  return volumes;
}

void TStandInPublisher::DropAfter(const std::string& path, std::int64_t bytes, int times) {
  std::lock_guard lock(mutex_);
  drops_[PubPath(path)] = {bytes, times};
}

void TStandInPublisher::SetSerial(const std::string& serial) {
  std::lock_guard lock(mutex_);
  serial_ = serial;
}

std::vector<std::string> TStandInPublisher::Registrations() const {
  std::lock_guard lock(mutex_);
  return registrations_;
}
std::vector<std::string> TStandInPublisher::Reports() const {
  std::lock_guard lock(mutex_);
  return reports_;
}
std::vector<std::string> TStandInPublisher::Fetched() const {
  std::lock_guard lock(mutex_);
  return fetched_;
}

void TStandInPublisher::Publish(const std::string& langExt) {
  std::string index = "# index of the stand-in publisher\r\n";
  {
    std::lock_guard lock(mutex_);
    for (const auto& [name, items] : sections_) {
      index += "<" + name + ">\r\n";
      for (const std::string& item : items) index += item + "\r\n";
    }
    index += rawIndex_;
  }
  AddFile("server" + langExt, index);
}

THttpReply TStandInPublisher::Serve(const TServedRequest& request) {
  std::lock_guard lock(mutex_);
  if (request.path == kScript) {
    const std::string type = request.Query("kztype");
    const std::string value = request.Query("kzstring1");
    if (type == "0") {
      registrations_.push_back(value);
      return THttpReply::Text(200, serial_.empty() ? "Registered" : "OK;" + serial_ + ";");
    }
    if (type == "5") {
      reports_.push_back(value);
      return THttpReply::Text(200, "OK");
    }
    return THttpReply::Text(400, "Bad request: error");
  }
  fetched_.push_back(request.path);
  const auto file = files_.find(request.path);
  if (file == files_.end()) return THttpReply::Text(404, "Not Found");
  THttpReply reply = THttpReply::Text(200, file->second);
  if (auto drop = drops_.find(request.path); drop != drops_.end() && drop->second.second > 0) {
    --drop->second.second;
    reply.closeAfterBytes = drop->second.first;
  }
  return reply;
}
