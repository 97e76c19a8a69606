#pragma once
// Tips and help pages without Qt: which page a topic names, the fallbacks when it
// has none, and where a link clicked in a page leads. Pages are local HTML files
// below a folder (the tips or the help folder) and never lead out of it.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace fs = std::filesystem;

class TIniFile;

// Sections of the settings ini: topic = page file relative to the folder.
inline constexpr std::string_view kTipsTopics = "TIPS TOPICS";
inline constexpr std::string_view kHelpTopics = "HELP TOPICS";

// The page of `topic` in `section`: field 1 of the value, trimmed; "NotFound"
// when the topic has no entry.
std::string TopicPage(const TIniFile& ini, std::string_view section, std::string_view topic);

// A stored page name (either separator, "%20" for a blank) as a file below
// `folder`, matched ignoring letter case; nullopt when the name would leave the
// folder (an absolute path, a ".." component, a drive letter) or is empty.
std::optional<fs::path> PageInFolder(const fs::path& folder, std::string_view page);

// Where a link clicked in a tips or help page leads, decided by its scheme
// prefix (in any letter case), never by text found elsewhere in the link.
enum class TLinkRoute {
  Shell,     // http://, https://, mailto:: the desktop's browser or mail client
  HelpPage,  // help://page: the help window; Target is the page name
  Video,     // a relative link to a ".mpg" or ".avi" clip; Target is its file name
  Viewer,    // a relative page link or an anchor: the viewer follows it in its folder
  Refused,   // any other scheme (file:, javascript: ...): nothing happens
};
struct TPageLink {
  TLinkRoute Route = TLinkRoute::Refused;
  std::string Target;
};
TPageLink RoutePageLink(std::string_view link);

// A relative link of a page in `fromFolder` (with "%20" as blanks and an optional
// "#anchor"), as a file inside `folder`; nullopt when it leads outside. The anchor
// is returned without "#".
struct TLocalLink {
  fs::path File;  // empty for an anchor of the same page
  std::string Anchor;
};
std::optional<TLocalLink> LocalLinkTarget(const fs::path& folder, const fs::path& fromFolder, std::string_view link);

// The viewer a page is shown in.
class IPageView {
 public:
  virtual ~IPageView() = default;
  // The file shown now (empty when none).
  virtual fs::path CurrentFile() const = 0;
  // Loads `file`; false when it could not be read (the page shown stays).
  virtual bool LoadFile(const fs::path& file) = 0;
};

// How a topic is looked up: in which section, below which folder, and which topic
// stands in when its page is missing ("Welcome" for tips, "Contents" for help).
struct TTopicPages {
  const TIniFile& Ini;
  std::string_view Section;
  fs::path Folder;
  std::string_view FallbackTopic;
};

// Shows `file` in `view` unless it is shown already (compared ignoring letter
// case), which is no reload. False when it is missing or does not load.
bool ShowPageFile(IPageView& view, const std::optional<fs::path>& file);

// Shows `file` in `view` unless it is shown already; when it is missing or does
// not load, the page of the fallback topic (unless `onlyIfFound`). False only
// when `onlyIfFound` and the file did not load: the window is not to be shown.
// When neither loads, the page shown before stays.
bool ShowPageOrFallback(IPageView& view, const TTopicPages& pages, const std::optional<fs::path>& file,
                        bool onlyIfFound);
// The same for the page of a topic.
bool ShowTopicPage(IPageView& view, const TTopicPages& pages, std::string_view topic, bool onlyIfFound);

// The page a help link ("help://name", the prefix in any case) names, below the help
// folder; nullopt when it would leave it.
std::optional<fs::path> HelpLinkFile(const fs::path& helpFolder, std::string_view link);
