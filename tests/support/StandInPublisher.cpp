#include "support/StandInPublisher.h"

#include <algorithm>

namespace {
constexpr const char* kScript = "/cgi-bin/kzserver";
constexpr const char* kChatScript = "/cgi-bin/plv/kzchat";
// How many of the latest messages a poll answers with.
constexpr std::size_t kChatWindow = 20;

// The ";"-ended fields of a record.
std::vector<std::string> Fields(const std::string& record) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t end; (end = record.find(';', start)) != std::string::npos; start = end + 1)
    fields.push_back(record.substr(start, end - start));
  return fields;
}

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

std::string TStandInPublisher::ServerChat() const { return server_.Url(std::string(kChatScript) + "?ctype="); }

void TStandInPublisher::FailChat(int times) {
  std::lock_guard lock(mutex_);
  chatFailures_ = times;
}

std::vector<std::string> TStandInPublisher::ChatLog() const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> log;
  for (std::size_t i = 0; i < chatLines_.size(); ++i) {
    const TChatLine& l = chatLines_[i];
    log.push_back(l.kind + ";" + std::to_string(i + 1) + ";" + l.from + ";" + l.to + ";" + l.text + ";");
  }
  return log;
}

void TStandInPublisher::PostChat(const std::string& message) {
  std::vector<std::string> f = Fields(message);
  if (f.size() >= 5) chatLines_.push_back({f[0], f[2], f[3], f[4]});
}

THttpReply TStandInPublisher::ServeChat(const TServedRequest& request) {
  if (chatFailures_ > 0) {
    --chatFailures_;
    return THttpReply::Text(500, "Internal Error");
  }
  const std::string type = request.Query("ctype");
  const std::vector<std::string> user = Fields(request.Query("cstring1"));
  const std::string nick = user.size() > 1 ? user[1] : "";
  const std::string password = user.size() > 3 ? user[3] : "";
  auto inRoom = [&] { return std::find(chatRoom_.begin(), chatRoom_.end(), nick) != chatRoom_.end(); };
  std::string users;
  for (const std::string& n : chatRoom_) users += ";" + n + ";;;;\n";
  if (type == "5") {
    if (nick.empty()) return THttpReply::Text(200, "incorrect all");
    if (chatAccounts_.count(nick)) return THttpReply::Text(200, "name is in use");
    chatAccounts_[nick] = password;
    return THttpReply::Text(200, "registered");
  }
  if (type == "0") {
    auto account = chatAccounts_.find(nick);
    if (account == chatAccounts_.end()) return THttpReply::Text(200, "incorrect ID");
    if (account->second != password) return THttpReply::Text(200, "incorrect password");
    if (!inRoom()) chatRoom_.push_back(nick);
    chatSeen_[nick] = chatLines_.size();
    PostChat(request.Query("cstring2"));
    return THttpReply::Text(200, "welcome");
  }
  if (type == "4") return THttpReply::Text(200, users);
  if (type == "1") {
    PostChat(request.Query("cstring1"));
    return THttpReply::Text(200, "sent");
  }
  if (type == "3") {
    std::erase(chatRoom_, nick);
    PostChat(request.Query("cstring2"));
    return THttpReply::Text(200, "bye");
  }
  if (type == "2") {
    if (!inRoom()) return THttpReply::Text(200, "incorrect ID");
    std::size_t& seen = chatSeen_[nick];
    if (seen == chatLines_.size()) return THttpReply::Text(200, "No New Messages");
    seen = chatLines_.size();
    std::string reply;
    for (std::size_t i = chatLines_.size() > kChatWindow ? chatLines_.size() - kChatWindow : 0; i < chatLines_.size(); ++i) {
      const TChatLine& l = chatLines_[i];
      if (l.to != "all" && l.to != nick && l.from != nick) continue;
      reply += l.kind + ";" + std::to_string(i + 1) + ";" + l.from + ";" + l.to + ";" + l.text + ";\n";
    }
    return THttpReply::Text(200, reply + "[users]\n" + users);
  }
  return THttpReply::Text(400, "Error");
}

THttpReply TStandInPublisher::Serve(const TServedRequest& request) {
  std::lock_guard lock(mutex_);
  if (request.path == kChatScript) return ServeChat(request);
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
