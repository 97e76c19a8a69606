#pragma once
// Where the online services live (settings-ini values; the program never writes
// a host) and the request URLs sent to them. Every builder percent-encodes the
// user's and the server's texts it carries, so a blank, "&" or a line end can
// never change the request.
#include <string>
#include <string_view>
#include <vector>

class TIniFile;

// The host inside the shipped defaults of the online-services scripts.
inline constexpr std::string_view kDefaultOnlineHost = "online.tressary.example";

struct TOnlineServers {
  std::string CGIServer;       // "Servers" "CGIServer": registration and report script, ends with "kztype="
  std::string ServerPost;      // "Servers" "ServerPost": gallery upload script
  std::string ServerChat;      // "Servers" "ServerChat": chat script, ends with "ctype="
  std::string GalleryServer;   // "Servers" "GalleryServer": the gallery's static files (no default)
  std::string ServerGetUsers;  // "Servers" "ServerGetUsers": list script (no default)
  std::string UsersFileName;   // "Files" "UsersFileName"
  std::string WorksFileName;   // "Files" "UsersFiles"
  std::string LangExt;         // "Language" "LangExt": suffix of a publisher's index file
};

std::string DefaultCGIServer();
std::string DefaultServerPost();
std::string DefaultServerChat();

// Reads every server value. The registration window reads "CGIServer" without a
// default (`cgiDefault` false): without a value its request reaches no server.
TOnlineServers ReadOnlineServers(const TIniFile& ini, bool cgiDefault = true);

// A content publisher of the "Publishers" section.
struct TPublisher {
  std::string Url;
  std::string Caption;
  std::string Folder;
};
// A value "URL;caption;folder;": not a "#" comment, three fields each ended by ";".
bool ParsePublisherRecord(std::string_view value, TPublisher& publisher);
// The valid publishers of "Publishers", in file order.
std::vector<TPublisher> ReadPublishers(const TIniFile& ini);

// Account registration: CGIServer + "0&kzstring1=" + the joined record.
std::string RegistrationUrl(const TOnlineServers& servers, std::string_view joinedRecord);
// The account values of "Registration" for the download report: "FirstName",
// "SecondName", "EMail", "Serial", "Sex", "Age", "Country", each followed by ";";
// an absent key gives "Unknown".
std::string BuildUserString(const TIniFile& ini);
// Download report, relative to CGIServer: "5&kzstring1=" + user string + ";" +
// date + ";", lower-cased.
std::string DownloadReportPath(std::string_view userString, std::string_view dateText);
// Gallery lists: ServerGetUsers + "0" / "1", or GalleryServer + the list file name
// when ServerGetUsers is empty.
std::string GalleryUsersListUrl(const TOnlineServers& servers);
std::string GalleryWorksListUrl(const TOnlineServers& servers);
// A gallery file: GalleryServer + work id + extension (".jpg" preview, ".jpeg"
// picture, ".tsc" work file).
std::string GalleryFileUrl(const TOnlineServers& servers, std::string_view workId, std::string_view extension);
// The upload script.
std::string GalleryUploadUrl(const TOnlineServers& servers);
// Chat: ServerChat + command + "&cstring1=" + value1 (+ "&cstring2=" + value2
// when it is not empty). The values are the records' text forms, not yet encoded.
std::string ChatRequestUrl(const TOnlineServers& servers, std::string_view ctype, std::string_view value1,
                           std::string_view value2 = {});
// A publisher's base URL with its "/" at the end.
std::string PublisherBaseUrl(std::string_view publisherUrl);
// A path on a publisher's server, relative to its base URL, ready for
// DownloadFileUrl: lower-cased, "\" taken as "/", each component encoded.
std::string PublisherFilePath(std::string_view relativePath);
// The publisher's index, relative to its base URL: "server" + LangExt.
std::string PublisherIndexPath(std::string_view langExt);
// Archive part `number` of an element folder: folder + "/part" + number + ".arh".
std::string ArchivePartPath(std::string_view elementFolder, int number);
// What the element download asks for: the base URL (a publisher's, or CGIServer
// for the report) followed by the lower-cased relative path.
std::string DownloadFileUrl(std::string_view baseUrl, std::string_view relativePath);
