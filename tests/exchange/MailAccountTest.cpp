// The default mail account from mail programs' settings written into a private
// home, as Thunderbird and Evolution lay them out.
#include <gtest/gtest.h>

#include <cstdlib>

#include "exchange/MailAccount.h"
#include "support/TestPaths.h"

namespace {

class MailAccountTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* home = std::getenv("HOME")) oldHome_ = home;
    if (const char* config = std::getenv("XDG_CONFIG_HOME")) oldConfig_ = config;
    setenv("HOME", home_.Path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
  }
  void TearDown() override {
    setenv("HOME", oldHome_.c_str(), 1);
    if (oldConfig_.empty()) unsetenv("XDG_CONFIG_HOME");
    else setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
  }

  // A Thunderbird with two profiles; the install's default is the second one.
  void WriteThunderbird(const std::string& smtpPrefs) {
    WriteTestFile(home_ / ".thunderbird/profiles.ini",
                  "[Install4F96D1932A9F858E]\nDefault=ab12.default-release\nLocked=1\n\n"
                  "[Profile1]\nName=default\nIsRelative=1\nPath=zz99.default\nDefault=1\n\n"
                  "[Profile0]\nName=default-release\nIsRelative=1\nPath=ab12.default-release\n\n"
                  "[General]\nStartWithLastProfile=1\nVersion=2\n");
    WriteTestFile(home_ / ".thunderbird/zz99.default/prefs.js",
                  "user_pref(\"mail.accountmanager.defaultaccount\", \"account1\");\n"
                  "user_pref(\"mail.account.account1.identities\", \"id1\");\n"
                  "user_pref(\"mail.identity.id1.useremail\", \"old@example.com\");\n");
    WriteTestFile(home_ / ".thunderbird/ab12.default-release/prefs.js",
                  "// Mozilla User Preferences\n\n"
                  "user_pref(\"mail.account.account1.identities\", \"id1\");\n"
                  "user_pref(\"mail.account.account2.identities\", \"id3,id2\");\n"
                  "user_pref(\"mail.accountmanager.defaultaccount\", \"account2\");\n"
                  "user_pref(\"mail.identity.id1.useremail\", \"wrong@example.com\");\n"
                  "user_pref(\"mail.identity.id3.fullName\", \"Ann \\\"Annie\\\" J\\u00f8rgensen\");\n"
                  "user_pref(\"mail.identity.id3.useremail\", \"ann@example.com\");\n" +
                      smtpPrefs);
  }

  void WriteEvolution(const std::string& transportHost, const std::string& port) {
    const fs::path sources = home_ / ".config/evolution/sources";
    // A disabled account first, then the one to use.
    WriteTestFile(sources / "1aaa.source",
                  "[Data Source]\nDisplayName=off\nEnabled=false\n\n[Mail Account]\nBackendName=imapx\n"
                  "IdentityUid=1aaa-id\n");
    WriteTestFile(sources / "1aaa-id.source", "[Mail Identity]\nAddress=off@example.com\nName=Off\n");
    WriteTestFile(sources / "2bbb.source",
                  "[Data Source]\nDisplayName=bob@example.com\nEnabled=true\nParent=\n\n"
                  "[Mail Account]\nBackendName=imapx\nIdentityUid=2bbb-id\n");
    WriteTestFile(sources / "2bbb-id.source",
                  "[Data Source]\nDisplayName=bob@example.com\nEnabled=true\nParent=2bbb\n\n"
                  "[Mail Identity]\nAddress=bob@example.com\nName=Bob\\sBuilder\n\n"
                  "[Mail Submission]\nTransportUid=2bbb-tr\n");
    WriteTestFile(sources / "2bbb-tr.source",
                  "[Data Source]\nEnabled=true\nParent=2bbb\n\n[Authentication]\nHost=" + transportHost +
                      "\nMethod=PLAIN\nPort=" + port + "\n\n[Mail Transport]\nBackendName=smtp\n");
  }

  void WriteRegistry(const std::string& text) { WriteTestFile(home_ / ".config/Tressary/registry.ini", text); }

  TempFolder home_;
  std::string oldHome_, oldConfig_;
};

TEST_F(MailAccountTest, ThunderbirdsDefaultProfileAccountAndIdentityGiveSenderServerAndPort) {
  WriteThunderbird("user_pref(\"mail.identity.id3.smtpServer\", \"smtp2\");\n"
                   "user_pref(\"mail.smtpserver.smtp2.hostname\", \"mail.example.com\");\n"
                   "user_pref(\"mail.smtpserver.smtp2.port\", 2525);\n"
                   "user_pref(\"mail.smtp.defaultserver\", \"smtp9\");\n");
  WriteEvolution("evolution.example.com", "587");  // not asked: a server is known
  EXPECT_EQ(DefaultMailAccount(),
            (TMailAccount{"Ann \"Annie\" J\xc3\xb8rgensen", "ann@example.com", "mail.example.com", 2525}));
}

TEST_F(MailAccountTest, AThunderbirdIdentityWithoutServerTakesTheDefaultServerOnItsStandardPort) {
  WriteThunderbird("user_pref(\"mail.smtp.defaultserver\", \"smtp9\");\n"
                   "user_pref(\"mail.smtpserver.smtp9.hostname\", \"relay.example.com\");\n");
  EXPECT_EQ(DefaultMailAccount(),
            (TMailAccount{"Ann \"Annie\" J\xc3\xb8rgensen", "ann@example.com", "relay.example.com", 25}));
}

TEST_F(MailAccountTest, EverySourceAskedOverwritesTheSenderEvenWithNothing) {
  // A server without a host name is no server: the later sources are asked, none
  // has anything, and the last one leaves the sender empty.
  WriteThunderbird("user_pref(\"mail.identity.id3.smtpServer\", \"smtp2\");\n");
  EXPECT_EQ(DefaultMailAccount(), TMailAccount{});
}

TEST_F(MailAccountTest, EvolutionIsAskedWhenThunderbirdHasNoServer) {
  WriteThunderbird("");
  WriteEvolution("smtp.example.org", "465");
  EXPECT_EQ(DefaultMailAccount(), (TMailAccount{"Bob Builder", "bob@example.com", "smtp.example.org", 465}));
}

TEST_F(MailAccountTest, TheRegistrySourcesComeLastInTheirOrderWithHostAndPortSplit) {
  WriteRegistry(
      "[Software\\Microsoft\\Internet Account Manager]\nDefault Mail Account=Work\n"
      "[Software\\Microsoft\\Internet Account Manager\\Accounts\\Work]\nSMTP Display Name=Carl\n"
      "SMTP Email Address=carl@example.com\nSMTP Server=\n"
      "[Software\\Microsoft\\Internet Mail and News\\Mail]\nSender Name=Dora\nSender EMail=dora@example.com\n"
      "Default SMTP Server=smtp.example.net:2525\n");
  EXPECT_EQ(DefaultMailAccount(), (TMailAccount{"Dora", "dora@example.com", "smtp.example.net", 2525}));

  WriteRegistry(
      "[Software\\Microsoft\\Internet Account Manager]\nDefault Mail Account=Work\n"
      "[Software\\Microsoft\\Internet Account Manager\\Accounts\\Work]\nSMTP Display Name=Carl\n"
      "SMTP Email Address=carl@example.com\nSMTP Server=smtp.example.com:abc\n"
      "[Software\\Microsoft\\Internet Mail and News\\Mail]\nDefault SMTP Server=never.example.net\n");
  EXPECT_EQ(DefaultMailAccount(), (TMailAccount{"Carl", "carl@example.com", "smtp.example.com", 25}));
}

TEST(MailServerPort, APortIsTheUpToFiveDigitsAfterTheFirstColon) {
  struct Case {
    const char* text;
    const char* server;
    int port;
  } cases[] = {{"host:2525", "host", 2525}, {"host:abc", "host", 25},    {"host", "host", 25},
               {"host:", "host", 25},       {"host:99999", "host", 25},  {"host:1234567", "host", 12345},
               {"host:0", "host", 25},      {"host:587:x", "host", 25},  {"", "", 25}};
  for (const Case& c : cases) {
    std::string server;
    int port = 0;
    SplitServerPort(c.text, server, port);
    EXPECT_EQ(server, c.server) << c.text;
    EXPECT_EQ(port, c.port) << c.text;
  }
}

TEST_F(MailAccountTest, WithNoSourceAtAllTheSettingsGiveServerAndSenderAddress) {
  const TMailAccount found = DefaultMailAccount();
  EXPECT_EQ(found, TMailAccount{});
  EXPECT_EQ(SendingAccount(found, "smtp.example.com", 587, "me@example.com"),
            (TMailAccount{"", "me@example.com", "smtp.example.com", 587}));
  // A found sender address is kept; the settings' server wins over the found one.
  EXPECT_EQ(SendingAccount({"Ann", "ann@example.com", "found.example.com", 2525}, "", 25, "me@example.com"),
            (TMailAccount{"Ann", "ann@example.com", "found.example.com", 2525}));
  EXPECT_EQ(SendingAccount({"Ann", "ann@example.com", "found.example.com", 2525}, "set.example.com", 25, ""),
            (TMailAccount{"Ann", "ann@example.com", "set.example.com", 25}));
}

}  // namespace
