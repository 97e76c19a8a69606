// What ships beside the program held against what its sources ask for: every text
// key the code names has a text in data/termins.txt, every window has its help page
// and its tip, and every setting the code reads is listed in data/Tressary.ini.
// Each test names what is missing, and where the code asks for it.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>

#include "platform/IniFile.h"
#include "platform/Text.h"
#include "shell/HelpPages.h"
#include "shell/Termins.h"
#include "support/SourceScan.h"
#include "support/TestPaths.h"

namespace {

const TSourceScan& Sources() {
  static const TSourceScan scan(SourceDir() / "src");
  return scan;
}

std::string Where(const TSourceFile& file, std::size_t at) { return file.Name + ":" + std::to_string(file.LineOf(at)); }

// The function whose first argument starts at `at`, or "".
std::string CalledWith(const TSourceFile& file, std::size_t at) {
  std::size_t i = at;
  while (i > 0 && std::isspace(static_cast<unsigned char>(file.Code[i - 1]))) --i;
  if (i == 0 || file.Code[i - 1] != '(') return {};
  std::size_t end = --i;
  while (i > 0 && (std::isalnum(static_cast<unsigned char>(file.Code[i - 1])) || file.Code[i - 1] == '_')) --i;
  return file.Code.substr(i, end - i);
}

bool LooksLikeKey(std::string_view text) {
  static const std::regex key("[A-Za-z][A-Za-z0-9_]*");
  return std::regex_match(text.begin(), text.end(), key);
}

// Every text key the sources name, with the first place that names it.
std::map<std::string, std::string> TextKeysOfTheSources() {
  std::map<std::string, std::string> keys;
  // By its name: a hint, a caption, a message or a question. Class names ("T...")
  // and the names objects are given are not keys.
  static const std::regex named("(?!T[A-Z])[A-Z][A-Za-z0-9_]*(Hint|Caption)|(Message|Confirm)[A-Z][A-Za-z0-9]*");
  for (const TSourceFile& file : Sources().Files()) {
    for (const auto& literal : file.Literals) {
      if (!std::regex_match(literal.Text, named)) continue;
      if (CalledWith(file, literal.At) == "setObjectName") continue;
      keys.emplace(literal.Text, Where(file, literal.At));
    }
  }
  // By the call that looks it up, followed through constants, tables and wrappers.
  for (const char* lookup : {"TermText", "GetTerm", "ShowOnlineMessage", "ShowMessageBox"})
    for (const TCallValues& call : Sources().CallArgument(lookup, 0))
      for (const std::string& key : call.Values)
        if (LooksLikeKey(key)) keys.emplace(key, Where(*call.File, call.At));
  return keys;
}

}  // namespace

TEST(ShippedTexts, EveryTextKeyTheSourcesNameHasAText) {
  TTerminList terms;
  ASSERT_TRUE(LoadTerms(SourceDir() / "data" / "termins.txt", terms, true));
  // Empty on purpose: a saved template is named after its layer as it stands.
  const std::set<std::string> emptyByDesign = {"FormLayerSaveTemplateNamePrefix", "FormLayerSaveTemplateNamePostfix"};
  const std::map<std::string, std::string> keys = TextKeysOfTheSources();
  for (const auto& [key, where] : keys) {
    if (emptyByDesign.contains(key)) continue;
    EXPECT_FALSE(WithoutSound(GetTerm(key, terms, "")).empty())
        << key << " (asked for at " << where << ") has no text in data/termins.txt";
  }
  // The scan found the texts of every kind: messages, questions, captions, hints,
  // and keys that only a table or a wrapper names.
  for (const char* known :
       {"MessageNoNewElements", "ConfirmDownloadWork", "FormRegistrationItemSexCaption", "ButtonStartDownloadHint",
        "FormFromGallerySkinColor", "BMP_GraphicFilterName", "PortraitLayerName", "FormShopListHeaderZipPostal"})
    EXPECT_TRUE(keys.contains(known)) << known;
}

TEST(ShippedPages, EveryWindowHasItsHelpPageAndItsTip) {
  const fs::path data = SourceDir() / "data";
  const TIniFile ini(data / "Tressary.ini", false);
  // The backdrop is no window a user works in; the message box is answered, not
  // explained (F1 and tips stay off there); the tips window shows no tip of itself.
  const std::set<std::string> noHelp = {"FormScreen", "FormMessage"};
  const std::set<std::string> noTip = {"FormScreen", "FormMessage", "FormTips"};
  static const std::regex windowClass(R"(\bclass\s+T(Form\w+)\s*(?::[^:]|\{))");
  std::set<std::string> windows;
  for (const TSourceFile& file : Sources().Files())
    for (auto it = std::sregex_iterator(file.Code.begin(), file.Code.end(), windowClass); it != std::sregex_iterator();
         ++it)
      windows.insert((*it)[1].str());
  for (const std::string& window : windows) {
    for (auto [section, folder, exempt] :
         {std::tuple{kHelpTopics, "Help", &noHelp}, std::tuple{kTipsTopics, "Tips", &noTip}}) {
      if (exempt->contains(window)) continue;
      if (!ini.ValueExists(section, window)) {
        ADD_FAILURE() << window << " has no entry in [" << section << "]";
        continue;
      }
      const auto page = PageInFolder(data / folder, TopicPage(ini, section, window));
      EXPECT_TRUE(page && fs::is_regular_file(*page)) << window << ": its page in " << folder << " does not ship";
    }
  }
  for (const char* known : {"FormMain", "FormMontage", "FormViewWork", "FormTalk", "FormPostCardText", "FormHelp"})
    EXPECT_TRUE(windows.contains(known)) << known;
}

namespace {

// The keys of a settings file by section (upper-cased), keys written out as a
// commented line ("; Key=") counted too: they show a user what can be set.
std::map<std::string, std::set<std::string>> ListedSettings(const fs::path& file) {
  std::map<std::string, std::set<std::string>> listed;
  std::ifstream in(file);
  std::string line, section;
  while (std::getline(in, line)) {
    std::string text = Trim(line);
    if (text.starts_with('[') && text.ends_with(']')) {
      section = UpperAscii(Trim(text.substr(1, text.size() - 2)));
      listed[section];
      continue;
    }
    if (text.starts_with(';')) text = Trim(text.substr(1));
    const std::size_t eq = text.find('=');
    if (eq != std::string::npos && !section.empty()) listed[section].insert(UpperAscii(Trim(text.substr(0, eq))));
  }
  return listed;
}

}  // namespace

TEST(ShippedSettings, EverySectionAndKeyTheCodeReadsIsListed) {
  const auto listed = ListedSettings(SourceDir() / "data" / "Tressary.ini");
  // Files that read other files through the ini class: the stand-ins' own stores,
  // the eye detector's answer and other mail programs' settings.
  auto otherFile = [](const std::string& name) {
    return name.starts_with("platform/") || name == "editor/EyeDetector.cpp" || name == "exchange/MailAccount.cpp";
  };
  std::set<std::string> read;  // "SECTION/KEY" as found
  auto check = [&](const std::string& section, const std::string* key, const std::string& where) {
    const auto found = listed.find(UpperAscii(section));
    if (found == listed.end()) {
      ADD_FAILURE() << "[" << section << "] (read at " << where << ") is not in data/Tressary.ini";
      return;
    }
    // Topics are pages, held against the windows above.
    if (!key || section == kTipsTopics || section == kHelpTopics) return;
    EXPECT_TRUE(found->second.contains(UpperAscii(*key)))
        << "[" << section << "] " << *key << " (read at " << where << ") is not in data/Tressary.ini";
    read.insert(UpperAscii(section) + "/" + UpperAscii(*key));
  };
  for (const char* reader :
       {"ReadString", "ReadInteger", "ReadBool", "ValueExists", "ReadSection", "ReadSectionValues"}) {
    const bool hasKey = std::string_view(reader) != "ReadSection" && std::string_view(reader) != "ReadSectionValues";
    for (const TCallValues& call : Sources().CallArgument(reader, 0)) {
      if (otherFile(call.File->Name)) continue;
      const std::string where = Where(*call.File, call.At);
      if (!hasKey) {
        for (const std::string& section : call.Values) check(section, nullptr, where);
        continue;
      }
      for (const auto& [section, key] : Sources().ArgumentPairs(*call.File, call.At, 0, 1)) check(section, &key, where);
    }
  }
  // The scan followed the reads through wrappers, loops and tables too.
  EXPECT_GT(read.size(), 50u);
  for (const char* known : {"SERVERS/GALLERYSERVER", "DIRECTORIES/TIPSDIRNAME", "PUBLISHER LINKS/SUBSCRIBEURL",
                            "TIPS/SHOWTIPS", "CALIBRATION COLOR/RED", "FILES/PARTBASE", "REGISTRATION/SERIAL"})
    EXPECT_TRUE(read.contains(known)) << known;
}
