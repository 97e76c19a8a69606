#include "support/StandInPublisher.h"

#include "platform/Text.h"

#include <algorithm>

namespace {
constexpr const char* kScript = "/cgi-bin/kzserver";
constexpr const char* kChatScript = "/cgi-bin/plv/kzchat";
constexpr const char* kUploadScript = "/cgi-bin/kzpost";
constexpr const char* kGallery = "/gallery/";
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

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
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
  for (int i = 0; i < parts; ++i) AddFile(elementFolder + "/arh/part" + std::to_string(i) + ".arh", volumes[i]);
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

std::string TStandInPublisher::GalleryUrl() const { return server_.Url(kGallery); }
std::string TStandInPublisher::UploadUrl() const { return server_.Url(kUploadScript); }

void TStandInPublisher::AddGalleryUser(const std::string& line) {
  std::lock_guard lock(mutex_);
  galleryUsers_.push_back(line);
}
void TStandInPublisher::AddGalleryWork(const std::string& line) {
  std::lock_guard lock(mutex_);
  galleryWorks_.push_back(line);
}
void TStandInPublisher::AddGalleryFile(const std::string& name, const std::string& bytes) {
  std::lock_guard lock(mutex_);
  galleryFiles_[kGallery + name] = bytes;
}
std::vector<TStandInPublisher::TUpload> TStandInPublisher::Uploads() const {
  std::lock_guard lock(mutex_);
  return uploads_;
}

// The upload script: "Fname<" + record + ">" + thumbnail + full file, the two
// sizes taken from fields 8 and 9 of the record, which must account for every
// byte. The work gets the id "<user number>-<n>"; its line in the works list
// carries the full file's size in field 8.
THttpReply TStandInPublisher::ServeUpload(const TServedRequest& request) {
  const std::string& body = request.body;
  const std::string head = "Fname<";
  const std::size_t end = body.find('>');
  if (request.method != "POST" || body.compare(0, head.size(), head) != 0 || end == std::string::npos)
    return THttpReply::Text(400, "Bad upload: error");
  TUpload upload;
  upload.Record = body.substr(head.size(), end - head.size());
  upload.Headers = request.headers;
  const std::vector<std::string> fields = Fields(upload.Record);
  if (fields.size() != 11 || upload.Record.back() != ';' || fields[0].empty())
    return THttpReply::Text(400, "Bad record: error");
  std::size_t thumbnail = 0, full = 0;
  try {
    thumbnail = std::stoul(fields[7]);
    full = std::stoul(fields[8]);
  } catch (...) {
    return THttpReply::Text(400, "Bad sizes: error");
  }
  if (body.size() - end - 1 != thumbnail + full) return THttpReply::Text(400, "Sizes do not match: error");
  upload.Thumbnail = body.substr(end + 1, thumbnail);
  upload.Full = body.substr(end + 1 + thumbnail);
  upload.Id = fields[0] + "-" + std::to_string(galleryWorks_.size() + 1);
  galleryWorks_.push_back(upload.Id + ";" + fields[1] + ";" + fields[2] + ";" + fields[3] + ";" + fields[4] + ";" +
                          fields[5] + ";" + fields[6] + ";" + fields[8] + ";");
  galleryFiles_[kGallery + upload.Id + ".jpg"] = upload.Thumbnail;
  galleryFiles_[kGallery + upload.Id + (fields[1] == "0" ? ".jpeg" : ".tsc")] = upload.Full;
  uploads_.push_back(std::move(upload));
  return THttpReply::Text(200, "Stored");
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

void TStandInPublisher::SlowChat(int ms) {
  std::lock_guard lock(mutex_);
  chatDelayMs_ = ms;
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
  // Accounts are made and entered lower-cased; a client may poll and write under
  // the nick as its user typed it.
  const std::string nick = user.size() > 1 ? LowerAscii(user[1]) : "";
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
      if (l.to != "all" && LowerAscii(l.to) != nick && LowerAscii(l.from) != nick) continue;
      reply += l.kind + ";" + std::to_string(i + 1) + ";" + l.from + ";" + l.to + ";" + l.text + ";\n";
    }
    return THttpReply::Text(200, reply + "[users]\n" + users);
  }
  return THttpReply::Text(400, "Error");
}

THttpReply TStandInPublisher::Serve(const TServedRequest& request) {
  std::lock_guard lock(mutex_);
  if (request.path == kChatScript) {
    THttpReply reply = ServeChat(request);
    if (chatDelayMs_ > 0) reply.pieceBytes = 1, reply.pieceDelayMs = chatDelayMs_;
    return reply;
  }
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
  if (request.path == kUploadScript) return ServeUpload(request);
  fetched_.push_back(request.path);
  if (request.path == std::string(kGallery) + "users.txt") return THttpReply::Text(200, JoinLines(galleryUsers_));
  if (request.path == std::string(kGallery) + "db.txt") return THttpReply::Text(200, JoinLines(galleryWorks_));
  if (const auto file = galleryFiles_.find(request.path); file != galleryFiles_.end())
    return THttpReply::Text(200, file->second);
  const auto file = files_.find(request.path);
  if (file == files_.end()) return THttpReply::Text(404, "Not Found");
  THttpReply reply = THttpReply::Text(200, file->second);
  if (auto drop = drops_.find(request.path); drop != drops_.end() && drop->second.second > 0) {
    --drop->second.second;
    reply.closeAfterBytes = drop->second.first;
  }
  return reply;
}
