#pragma once
// A publisher of elements on loopback, for the online tests: its index file
// "server" + LangExt with its sections, the element pictures and previews, the
// archives of messages, questionnaire sets and interface parts, and the
// online-services script that registers users and receives download reports;
// and the gallery: its users and works lists below "/gallery/", the pictures,
// previews and works there, and the upload script, which splits what it
// receives, appends the work to its list and stores its files.
// It serves lower-case paths below "/pub/", as the program asks for them, and
// can drop a connection in the middle of a file to test resumption.
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "support/ArchiveWriter.h"
#include "support/LoopbackHttpServer.h"

class TStandInPublisher {
 public:
  explicit TStandInPublisher(TLoopbackLimits limits = {});

  TLoopbackHttpServer& Server() { return server_; }
  // The publisher's URL as the settings name it ("http://127.0.0.1:port/pub/").
  std::string BaseUrl() const;
  // The value of "Servers" "CGIServer": the script's URL ending with "kztype=".
  std::string CgiServer() const;

  // Index lines of section `name` ("partbase", "models", "interfaces", ...),
  // in the order added; the index is served as "server" + langExt.
  void AddIndexLines(const std::string& section, const std::vector<std::string>& lines);
  // Any further text of the index, as it stands (hostile tests).
  void AddRawIndexText(const std::string& text);
  // A file below the base URL (`path` relative, any letter case: it is served
  // lower-cased).
  void AddFile(const std::string& path, const std::string& bytes);
  // The interface item's archive of `entries`, cut into `parts` volumes served as
  // "<element folder>/arh/part<i>.arh", where the program keeps them too;
  // returns the volumes.
  std::vector<std::string> AddInterfaceParts(const std::string& elementFolder, const std::vector<TArchiveEntry>& entries,
                                             int parts);
  // The next `times` requests of `path` close the connection after `bytes` bytes.
  void DropAfter(const std::string& path, std::int64_t bytes, int times = 1);

  // The serial the registration script issues ("" answers without one).
  void SetSerial(const std::string& serial);
  // What the script received: the decoded "kzstring1" of each registration
  // (kztype 0) and of each download report (kztype 5).
  std::vector<std::string> Registrations() const;
  std::vector<std::string> Reports() const;
  // The decoded paths fetched below the base URL, in order.
  std::vector<std::string> Fetched() const;

  // The chat script: the value of "Servers" "ServerChat" (ends with "ctype=").
  // It keeps its accounts, its users in the room and its messages in memory
  // and answers a poll with the latest messages (old ones again, as a real
  // script may), "[users]" and the users in the room.
  std::string ServerChat() const;
  // The next `times` chat requests fail with "500 Internal Error".
  void FailChat(int times);
  // Chat replies go out a byte at a time, each after `ms` milliseconds.
  void SlowChat(int ms);
  // The chat messages received, as "kind;id;from;to;text;" in arrival order.
  std::vector<std::string> ChatLog() const;
  // The gallery's "GalleryServer" and "ServerPost" values.
  std::string GalleryUrl() const;
  std::string UploadUrl() const;
  // A line of the users list ("users.txt") or of the works list ("db.txt"), as it stands.
  void AddGalleryUser(const std::string& line);
  void AddGalleryWork(const std::string& line);
  // A file of the gallery ("<id>.jpg" preview, "<id>.jpeg" picture, "<id>.tsc" work).
  void AddGalleryFile(const std::string& name, const std::string& bytes);
  // One upload as the script split it.
  struct TUpload {
    std::string Id;         // the id the script gave the work
    std::string Record;     // between "Fname<" and ">"
    std::string Thumbnail;  // as many bytes as field 8 says
    std::string Full;       // as many bytes as field 9 says
    std::map<std::string, std::string> Headers;  // names lower-cased
  };
  std::vector<TUpload> Uploads() const;

  // Serves the index; call after the last AddIndexLines.
  void Publish(const std::string& langExt = ".eng");

 private:
  THttpReply Serve(const TServedRequest& request);
  THttpReply ServeChat(const TServedRequest& request);
  void PostChat(const std::string& message);
  THttpReply ServeUpload(const TServedRequest& request);

  TLoopbackHttpServer server_;
  mutable std::mutex mutex_;
  std::vector<std::pair<std::string, std::vector<std::string>>> sections_;
  std::string rawIndex_;
  std::map<std::string, std::string> files_;
  std::map<std::string, std::pair<std::int64_t, int>> drops_;
  std::string serial_ = "12345";
  std::vector<std::string> registrations_, reports_, fetched_;
  struct TChatLine {
    std::string kind, from, to, text;
  };
  std::map<std::string, std::string> chatAccounts_;  // nick -> password
  std::vector<std::string> chatRoom_;                // nicks, in order of arrival
  std::vector<TChatLine> chatLines_;                 // id = index + 1
  std::map<std::string, std::size_t> chatSeen_;      // nick -> messages answered so far
  int chatFailures_ = 0;
  std::vector<std::string> galleryUsers_, galleryWorks_;
  std::map<std::string, std::string> galleryFiles_;
  std::vector<TUpload> uploads_;
  int chatDelayMs_ = 0;
};
