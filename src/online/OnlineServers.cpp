#include "online/OnlineServers.h"

#include "online/OnlineRecords.h"
#include "platform/HttpClient.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

std::string DefaultCGIServer() { return std::string(kDefaultOnlineHost) + "/cgi-bin/plv/kzserver?kztype="; }
std::string DefaultServerPost() { return std::string(kDefaultOnlineHost) + "/cgi-bin/plv/kzpost"; }
std::string DefaultServerChat() {
  return "http://" + std::string(kDefaultOnlineHost) + "/cgi-bin/plv/kzchat?ctype=";
}

TOnlineServers ReadOnlineServers(const TIniFile& ini, bool cgiDefault) {
  TOnlineServers servers;
  servers.CGIServer = ini.ReadString("Servers", "CGIServer", cgiDefault ? DefaultCGIServer() : "");
  servers.ServerPost = ini.ReadString("Servers", "ServerPost", DefaultServerPost());
  servers.ServerChat = ini.ReadString("Servers", "ServerChat", DefaultServerChat());
  servers.GalleryServer = ini.ReadString("Servers", "GalleryServer", "");
  servers.ServerGetUsers = ini.ReadString("Servers", "ServerGetUsers", "");
  servers.UsersFileName = ini.ReadString("Files", "UsersFileName", "users.txt");
  servers.WorksFileName = ini.ReadString("Files", "UsersFiles", "db.txt");
  servers.LangExt = ini.ReadString("Language", "LangExt", ".eng");
  return servers;
}

bool ParsePublisherRecord(std::string_view value, TPublisher& publisher) {
  if (value.empty() || value.front() == '#') return false;
  std::vector<std::string> fields = SplitFields(value, ';');
  // Three fields each ended by ";" split into at least four parts.
  if (fields.size() < 4 || fields[0].empty()) return false;
  publisher = {fields[0], fields[1], fields[2]};
  return true;
}

std::vector<TPublisher> ReadPublishers(const TIniFile& ini) {
  std::vector<TPublisher> publishers;
  for (const std::string& key : ini.ReadSection("Publishers")) {
    TPublisher publisher;
    if (ParsePublisherRecord(ini.ReadString("Publishers", key, ""), publisher)) publishers.push_back(publisher);
  }
  return publishers;
}

std::string RegistrationUrl(const TOnlineServers& servers, std::string_view joinedRecord) {
  return servers.CGIServer + "0&kzstring1=" + PercentEncode(joinedRecord);
}

std::string BuildUserString(const TIniFile& ini) {
  std::string text;
  for (const char* key : {"FirstName", "SecondName", "EMail", "Serial", "Sex", "Age", "Country"}) {
    text += ini.ValueExists("Registration", key) ? ini.ReadString("Registration", key, "") : "Unknown";
    text += ';';
  }
  return text;
}

std::string DownloadReportPath(std::string_view userString, std::string_view dateText) {
  std::string value = std::string(userString) + ";" + std::string(dateText) + ";";
  return "5&kzstring1=" + LowerAscii(PercentEncode(LowerAscii(value)));
}

namespace {
std::string GalleryListUrl(const TOnlineServers& servers, const char* command, const std::string& fileName) {
  if (!servers.ServerGetUsers.empty()) return servers.ServerGetUsers + command;
  return servers.GalleryServer + PercentEncode(fileName);
}
}  // namespace

std::string GalleryUsersListUrl(const TOnlineServers& servers) {
  return GalleryListUrl(servers, "0", servers.UsersFileName);
}

std::string GalleryWorksListUrl(const TOnlineServers& servers) {
  return GalleryListUrl(servers, "1", servers.WorksFileName);
}

std::string GalleryFileUrl(const TOnlineServers& servers, std::string_view workId, std::string_view extension) {
  return servers.GalleryServer + PercentEncode(workId) + PercentEncode(extension);
}

std::string GalleryUploadUrl(const TOnlineServers& servers) { return servers.ServerPost; }

std::string ChatRequestUrl(const TOnlineServers& servers, std::string_view ctype, std::string_view value1,
                           std::string_view value2) {
  std::string url = servers.ServerChat + PercentEncode(ctype) + "&cstring1=" + PercentEncode(value1);
  if (!value2.empty()) url += "&cstring2=" + PercentEncode(value2);
  return url;
}

std::string PublisherBaseUrl(std::string_view publisherUrl) {
  std::string base(publisherUrl);
  if (base.empty() || base.back() != '/') base += '/';
  return base;
}

std::string PublisherFilePath(std::string_view relativePath) {
  std::string path = LowerAscii(relativePath);
  for (char& c : path)
    if (c == '\\') c = '/';
  return PercentEncode(path, "/");
}

std::string PublisherIndexPath(std::string_view langExt) { return PublisherFilePath("server" + std::string(langExt)); }

std::string ArchivePartPath(std::string_view elementFolder, int number) {
  std::string folder(elementFolder);
  while (!folder.empty() && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
  return PublisherFilePath(folder + "/part" + std::to_string(number) + ".arh");
}

std::string DownloadFileUrl(std::string_view baseUrl, std::string_view relativePath) {
  return std::string(baseUrl) + LowerAscii(relativePath);
}
