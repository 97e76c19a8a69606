#include <gtest/gtest.h>

#include "online/OnlineServers.h"
#include "platform/HttpClient.h"
#include "platform/IniFile.h"

namespace {

TEST(OnlineServers, DefaultsApplyOnlyWhereTheyExist) {
  TIniFile empty = TIniFile::FromText("");
  TOnlineServers servers = ReadOnlineServers(empty);
  EXPECT_EQ(servers.CGIServer, std::string(kDefaultOnlineHost) + "/cgi-bin/plv/kzserver?kztype=");
  EXPECT_EQ(servers.ServerPost, std::string(kDefaultOnlineHost) + "/cgi-bin/plv/kzpost");
  EXPECT_EQ(servers.ServerChat, "http://" + std::string(kDefaultOnlineHost) + "/cgi-bin/plv/kzchat?ctype=");
  EXPECT_EQ(servers.GalleryServer, "");
  EXPECT_EQ(servers.ServerGetUsers, "");
  EXPECT_EQ(servers.UsersFileName, "users.txt");
  EXPECT_EQ(servers.WorksFileName, "db.txt");
  EXPECT_EQ(servers.LangExt, ".eng");
  // The registration window reads the script without a default.
  EXPECT_EQ(ReadOnlineServers(empty, false).CGIServer, "");
}

TEST(OnlineServers, IniValuesWinInAnyKeyCase) {
  TIniFile ini = TIniFile::FromText(
      "[SERVERS]\ncgiserver=reg.example/r?kztype=\nGalleryServer=gal.example/g/\n"
      "[files]\nUsersFileName=u.txt\nUsersFiles=w.txt\n[Language]\nLangExt=.deu\n");
  TOnlineServers servers = ReadOnlineServers(ini, false);
  EXPECT_EQ(servers.CGIServer, "reg.example/r?kztype=");
  EXPECT_EQ(servers.GalleryServer, "gal.example/g/");
  EXPECT_EQ(servers.UsersFileName, "u.txt");
  EXPECT_EQ(servers.WorksFileName, "w.txt");
  EXPECT_EQ(servers.LangExt, ".deu");
}

TEST(OnlineServers, PublishersNeedThreeTerminatedFieldsAndNoComment) {
  TIniFile ini = TIniFile::FromText(
      "[Publishers]\nServer1=http://a.example/;Alpha;alpha;\nServer2=#http://b.example/;Beta;beta;\n"
      "Server3=http://c.example/;Gamma;gamma\nServer4=http://d.example/;Delta;delta;extra;\n");
  auto publishers = ReadPublishers(ini);
  ASSERT_EQ(publishers.size(), 2u);
  EXPECT_EQ(publishers[0].Url, "http://a.example/");
  EXPECT_EQ(publishers[0].Caption, "Alpha");
  EXPECT_EQ(publishers[0].Folder, "alpha");
  EXPECT_EQ(publishers[1].Caption, "Delta");
}

TEST(OnlineUrls, RegistrationEncodesTheRecord) {
  TOnlineServers servers;
  servers.CGIServer = "reg.example/cgi?kztype=";
  std::string url = RegistrationUrl(servers, "Anna Maria;B&B;a+b@x.org;;;1;5.3.1990;2;JQ;0;0;");
  EXPECT_EQ(url, "reg.example/cgi?kztype=0&kzstring1=Anna%20Maria%3BB%26B%3Ba%2Bb%40x.org%3B%3B%3B1%3B5.3.1990%3B2%3BJQ%3B0%3B0%3B");
  // What a server decodes is the record as joined.
  EXPECT_EQ(PercentDecode(url.substr(url.find("kzstring1=") + 10)), "Anna Maria;B&B;a+b@x.org;;;1;5.3.1990;2;JQ;0;0;");
}

TEST(OnlineUrls, DownloadReportIsLowerCasedWithUnknownForMissingAccountValues) {
  TIniFile none = TIniFile::FromText("");
  EXPECT_EQ(BuildUserString(none), "Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;Unknown;");
  TIniFile account = TIniFile::FromText(
      "[REGISTRATION]\nFirstName=Anna\nSecondName=Berg\nEMail=Anna@X.org\nSerial=12\nAge=5.3.1990\nSex=1\n");
  std::string user = BuildUserString(account);
  EXPECT_EQ(user, "Anna;Berg;Anna@X.org;12;1;5.3.1990;Unknown;");
  std::string path = DownloadReportPath(user, "7.12.2026");
  EXPECT_EQ(path.rfind("5&kzstring1=", 0), 0u);
  EXPECT_EQ(PercentDecode(path.substr(12)), "anna;berg;anna@x.org;12;1;5.3.1990;unknown;;7.12.2026;");
  EXPECT_EQ(DownloadFileUrl("reg.example/cgi?kztype=", path), "reg.example/cgi?kztype=" + path);
}

TEST(OnlineUrls, GalleryListsUseTheScriptWhenSetElseTheFiles) {
  TOnlineServers servers;
  servers.GalleryServer = "gal.example/g/";
  servers.UsersFileName = "users.txt";
  servers.WorksFileName = "db.txt";
  EXPECT_EQ(GalleryUsersListUrl(servers), "gal.example/g/users.txt");
  EXPECT_EQ(GalleryWorksListUrl(servers), "gal.example/g/db.txt");
  servers.ServerGetUsers = "gal.example/cgi/list?t=";
  EXPECT_EQ(GalleryUsersListUrl(servers), "gal.example/cgi/list?t=0");
  EXPECT_EQ(GalleryWorksListUrl(servers), "gal.example/cgi/list?t=1");
}

TEST(OnlineUrls, GalleryFilesAndChatEncodeWhatTheyCarry) {
  TOnlineServers servers;
  servers.GalleryServer = "gal.example/g/";
  servers.ServerChat = "http://chat.example/c?ctype=";
  EXPECT_EQ(GalleryFileUrl(servers, "12-7", ".jpg"), "gal.example/g/12-7.jpg");
  EXPECT_EQ(GalleryFileUrl(servers, "../x y", ".tsc"), "gal.example/g/..%2Fx%20y.tsc");
  EXPECT_EQ(ChatRequestUrl(servers, "2", "0;me;0;0;0;"), "http://chat.example/c?ctype=2&cstring1=0%3Bme%3B0%3B0%3B0%3B");
  EXPECT_EQ(ChatRequestUrl(servers, "1", "-1;;me;all;hi & bye;", "x"),
            "http://chat.example/c?ctype=1&cstring1=-1%3B%3Bme%3Ball%3Bhi%20%26%20bye%3B&cstring2=x");
}

TEST(OnlineUrls, PublisherPathsAreLowerCasedWithSlashesAndEncodedComponents) {
  EXPECT_EQ(PublisherBaseUrl("http://pub.example/content"), "http://pub.example/content/");
  EXPECT_EQ(PublisherBaseUrl("http://pub.example/content/"), "http://pub.example/content/");
  EXPECT_EQ(PublisherIndexPath(".ENG"), "server.eng");
  EXPECT_EQ(PublisherFilePath("Hair\\Long Curls.SHT"), "hair/long%20curls.sht");
  EXPECT_EQ(ArchivePartPath("Intfaces\\Blue\\Main\\", 2), "intfaces/blue/main/part2.arh");
  EXPECT_EQ(DownloadFileUrl(PublisherBaseUrl("pub.example"), PublisherFilePath("A/B.sht")), "pub.example/a/b.sht");
}

TEST(PercentCoding, EncodesAllButUnreservedAndDecodesBack) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  std::string encoded = PercentEncode(all);
  EXPECT_EQ(encoded.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~%"),
            std::string::npos);
  EXPECT_EQ(PercentDecode(encoded), all);
  EXPECT_EQ(PercentEncode("a/b c", "/"), "a/b%20c");
  EXPECT_EQ(PercentDecode("a+b%2", true), "a b%2");
  EXPECT_EQ(PercentDecode("%zz%4"), "%zz%4");
  EXPECT_EQ(PercentDecode("%4a%4A"), "JJ");
}

}  // namespace
