// A publisher's index against an installation: the sections, what counts as
// new, the merged publishers and model types, and the analysis of a publisher
// on loopback.
#include <gtest/gtest.h>

#include <algorithm>

#include "online/ElementDownload.h"
#include "online/ElementIndex.h"
#include "online/OnlineRecords.h"
#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"
#include "support/StandInPublisher.h"
#include "support/TestPaths.h"

namespace {

std::vector<std::string> Keys(const std::vector<TElementRecord>& records) {
  std::vector<std::string> keys;
  for (const auto& record : records) keys.push_back(record.Key());
  return keys;
}

TEST(ElementIndex, SectionsOpenOnTheirExactLineAndCloseAtTheNext) {
  const std::vector<std::string> lines = {"x", "<partbase>\r", "1;a;b;c;d;", "z", "", "<Partbase>", "2;a;b;c;d;",
                                          "<models>", "[a;b;c;d;e]", "<other", "late"};
  EXPECT_EQ(ReadIndexSection(lines, "partbase"), (std::vector<std::string>{"1;a;b;c;d;"}))
      << "one-character lines are no items; the section ends at the next line opening with <";
  EXPECT_EQ(ReadIndexSection(lines, "Partbase"), (std::vector<std::string>{"2;a;b;c;d;"}));
  EXPECT_EQ(ReadIndexSection(lines, "models"), (std::vector<std::string>{"[a;b;c;d;e]"}));
  EXPECT_EQ(ReadIndexSection(lines, "query"), std::nullopt);
  EXPECT_EQ(ReadIndexSection(lines, "").value(),
            (std::vector<std::string>{"1;a;b;c;d;", "2;a;b;c;d;", "[a;b;c;d;e]", "late"}))
      << "the whole text by the same item rule";
}

TEST(ElementIndex, AnIndexReadAsItArrivesGivesWhatTheWholeTextGives) {
  // A byte-order mark, CR LF split between two parts, a lone CR, Windows-1252
  // text (a one-byte line becomes an item once decoded), a section given twice.
  const std::string text =
      "\xEF\xBB\xBF<partbase>\r\n1;0;0;Caf\xE9;Caf\xE9;;1;10\r\n\xE9\r<skipped>\nnot kept\n<messages>\r\n"
      "news;Spring;5\r\n<partbase>\r\n2;0;0;Late;Late;;1;1\r\n<query>";
  const TIndexSections whole = IndexSections(SplitLines(DecodeText(
      std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()))));
  EXPECT_EQ(whole.Items("partbase"), (std::vector<std::string>{"1;0;0;Caf\u00E9;Caf\u00E9;;1;10", "\u00E9"}));
  EXPECT_EQ(whole.Items("messages"), std::vector<std::string>{"news;Spring;5"});
  EXPECT_TRUE(whole.Found.count("query")) << "an empty section is there";
  EXPECT_FALSE(whole.Found.count("skipped")) << "a section the analysis does not read is not held";
  for (std::size_t step : {std::size_t(1), std::size_t(3), std::size_t(14)}) {
    TIndexReader reader;
    for (std::size_t at = 0; at < text.size(); at += step) reader.Add(std::string_view(text).substr(at, step));
    EXPECT_EQ(reader.Finish().Found, whole.Found) << "parts of " << step;
  }
}

TEST(ElementIndex, AQuestionnaireSetIsNewOnlyWhenReleasedLater) {
  const int today = 20261207;
  EXPECT_TRUE(NewQuerySet("02.01.2026;q.arh;Set;10;", "01.01.2026;q.arh;Set;", today));
  EXPECT_FALSE(NewQuerySet("01.01.2026;q.arh;Set;10;", "01.01.2026;q.arh;Set;", today));
  EXPECT_FALSE(NewQuerySet("01.01.2026;q.arh;Set;10;", "31.12.2026;q.arh;Set;", today));
  EXPECT_TRUE(NewQuerySet("01.01.2026;q.arh;Set;10;", "", today)) << "nothing installed";
  EXPECT_TRUE(NewQuerySet("08.12.2026;q.arh;Set;10;", "someday;q.arh;Set;", today)) << "unreadable: today";
  EXPECT_FALSE(NewQuerySet("07.12.2026;q.arh;Set;10;", "someday;q.arh;Set;", today));
  EXPECT_FALSE(NewQuerySet("02.01.2026;;Set;10;", "", today)) << "a set without a name is no set";
}

TEST(ElementIndex, TheTypeTableHoldsTheFirst31Lines) {
  std::string text = "[TEMPLATE TYPES]\n";
  // Line 7 names no type; it still takes its place in the table.
  for (int i = 1; i <= 33; ++i)
    text += "Type" + std::to_string(i) + "=" + (i == 7 ? std::string("x") : std::to_string(i)) + ";T" +
            std::to_string(i) + ";Type " + std::to_string(i) + ";40;F;\n";
  const TDownloadSettings settings = ReadDownloadSettings(TIniFile::FromText(text));
  EXPECT_EQ(settings.Types.size(), 30u);
  ASSERT_NE(settings.KnownType(31), nullptr);
  EXPECT_EQ(settings.KnownType(31)->Folder, "t31\\");
  EXPECT_EQ(settings.KnownType(32), nullptr);
  EXPECT_EQ(settings.KnownType(33), nullptr);
}

class PublisherAnalysis : public ::testing::Test {
 protected:
  void SetUp() override {
    ini_ = std::make_unique<TIniFile>(temp_ / "Tressary.ini");
    ini_->WriteString("TEMPLATE TYPES", "Type1", "1;HairW;Hairstyles for women;40;F;");
    ini_->WriteString("TEMPLATE TYPES", "Type2", "2;Hats;Hats;60;F;");
    ini_->WriteString("TEMPLATE TYPES", "Type3", "3;..\\..;Escaping;60;F;");
    ini_->WriteString("DIRECTORIES", "InterfaceDirName", "Intfaces;Interfaces");
    ini_->WriteString("Publishers", "Server1", publisher_.BaseUrl() + ";Stand-in;local;");
    ini_->WriteString("MODEL TYPES", "Type1", "Modern;Modern models");
    ini_->WriteString("MESSAGES", "old", "old;Old news;");
    ini_->WriteString("QUERIES", "Query", "01.01.2025;q.arh;Old;");
    WriteTestFile(temp_ / "PartBase.txt", "$PART_TYPE 1\r\n1;0;0;LONG02.psd;Long;\r\n");
    WriteTestFile(temp_ / "Models.txt", "[M2;Pub;Model2;Second;Classic]\r\n1;0;0;Long02.psd;Long;0;1;2000;0;\r\n");
    fs::create_directories(temp_ / "Intfaces" / "SPRING" / "800-600");
  }

  TAnalysis Analyze(std::chrono::milliseconds indexDeadline = kListDeadline) {
    TTransferContext context(ETransferUse::ElementDownload, queue_, [this] { return connectResult_; });
    context.SetTimeouts(5, 5);
    TElementDownloader downloader(context, *ini_, temp_.Path());
    downloader.IndexDeadline = indexDeadline;
    return downloader.AnalyzeServer(publisher_.BaseUrl());
  }

  TempFolder temp_;
  TStandInPublisher publisher_;
  TTaskQueue queue_;
  std::unique_ptr<TIniFile> ini_;
  int connectResult_ = 0;
};

TEST_F(PublisherAnalysis, OnlyWhatIsNotInstalledIsNew) {
  publisher_.AddIndexLines("partbase", {"1;0;0;Bob01;Bob;0;1;1234", "1;0;0;hairw\\Long02.fll;Long;0;1;2000",
                                        "7;0;0;Alien;Alien;0;1;10", "2;0;0;Cap;;0;1;5", "2;5;5;Cap;Cap;0;0;300",
                                        "1;0;0;..\\..\\evil;Evil;0;1;1", "3;0;0;Out;Out;0;1;1", "1;0;0;Bad"});
  publisher_.AddIndexLines("models", {"[M1;Pub;Model1;First model;Classic]", "1;0;0;Bob01;Bob;0;1;1234",
                                      "1;0;0;Long02;Long;0;1;2000", "[M2;Pub;Model2;Second;Classic]",
                                      "1;0;0;Long02;Long;0;1;2000", "[M3;Pub;Model3;Alien;Classic]",
                                      "7;0;0;Alien;Alien;0;1;10"});
  publisher_.AddIndexLines("messages", {"news1;Spring news;500", "old;Old news;100", "..\\up;Evil;1"});
  publisher_.AddIndexLines("query", {"01.02.2026;queries.arh;Question set;900", "09.09.2099;later;Ignored;1"});
  publisher_.AddIndexLines("interfaces", {"[Spring;SPRING]", "1024-768;2;300;400", "800-600;1;100",
                                          "huge;1;99999999999999999999", "[Evil;/etc]", "x;1;1", "[Up;..]", "y;1;1"});
  publisher_.AddIndexLines("model types", {"Classic;Classic models", "Modern;Renamed"});
  publisher_.AddIndexLines("Publishers", {"http://other.example/;Other;other;", "http://moved.example/;Stand-in;x;",
                                          "http://evil.example/;Evil;..\\..;"});
  publisher_.Publish();

  const TAnalysis analysis = Analyze();
  ASSERT_EQ(analysis.Result, EAnalysis::NewElements);
  const TNewElements& found = analysis.Elements;
  EXPECT_EQ(Keys(found.Templates), (std::vector<std::string>{"Bob01", "Cap"}));
  EXPECT_EQ(found.Templates[1].Size, 300);

  ASSERT_EQ(found.Models.size(), 1u) << "M2's one part is installed; M3 has no part of a known type";
  EXPECT_EQ(found.Models[0].Header, "[M1;Pub;Model1;First model;Classic]");
  EXPECT_EQ(found.Models[0].Parts,
            (std::vector<std::string>{"1;0;0;Bob01;Bob;0;1;1234;1;", "1;0;0;Long02;Long;0;1;2000;0;"}));
  EXPECT_EQ(found.Models[0].Size, 1234) << "only the part to fetch counts";
  EXPECT_EQ(found.Models[0].Type, "Classic");

  ASSERT_EQ(found.Messages.size(), 1u);
  EXPECT_EQ(found.Messages[0].Folder, "news1");
  EXPECT_EQ(found.Messages[0].Size, 500);
  ASSERT_TRUE(found.QuerySet);
  EXPECT_EQ(found.QuerySet->IniValue(), "01.02.2026;queries.arh;Question set;");

  ASSERT_EQ(found.Interfaces.size(), 1u) << "800-600 is here; hostile folders and sizes are dropped";
  EXPECT_EQ(found.Interfaces[0].ItemFolder, "1024-768");
  EXPECT_EQ(found.Interfaces[0].Size, 700);
  EXPECT_EQ(found.Interfaces[0].PartsFolder(TDownloadSettings{}), "INTFACES\\SPRING\\1024-768\\Arh");

  const auto publishers = ReadPublishers(*ini_);
  ASSERT_EQ(publishers.size(), 2u) << "a known caption under a new URL is not added";
  EXPECT_EQ(publishers[1].Url, "http://other.example/");
  EXPECT_EQ(publishers[1].Folder, "Servers\\other");
  EXPECT_EQ(ini_->ReadString("Publishers", "Server2", ""), "http://other.example/;Other;Servers\\other;");
  EXPECT_EQ(ini_->ReadSectionValues("MODEL TYPES"),
            (std::vector<std::string>{"Type1=Modern;Modern models", "Type2=Classic;Classic models"}));

  const TIniFile reread(temp_ / "Tressary.ini");
  EXPECT_EQ(reread.ReadString("MODEL TYPES", "Type2", ""), "Classic;Classic models") << "written to disk";
  EXPECT_EQ(publisher_.Fetched(), (std::vector<std::string>{"/pub/server.eng"}));
}

TEST_F(PublisherAnalysis, AnIndexWithOnlyMessagesStillOffersThem) {
  publisher_.AddIndexLines("messages", {"news1;Spring news;500"});
  publisher_.Publish();
  const TAnalysis analysis = Analyze();
  ASSERT_EQ(analysis.Result, EAnalysis::NewElements);
  EXPECT_TRUE(analysis.Elements.Templates.empty());
  EXPECT_EQ(analysis.Elements.Messages.size(), 1u);
}

TEST_F(PublisherAnalysis, NothingNewAndFailedFetchesAreTold) {
  publisher_.AddIndexLines("partbase", {"1;0;0;long02;Long;0;1;2000"});
  publisher_.AddIndexLines("messages", {"old;Old news;100"});
  publisher_.Publish();
  EXPECT_EQ(Analyze().Result, EAnalysis::NothingNew);

  publisher_.Publish(".ger");
  ini_->WriteString("Language", "LangExt", ".fra");
  EXPECT_EQ(Analyze().Result, EAnalysis::NoAccess) << "no index in that language";

  connectResult_ = kInternetErrorCannotConnect;
  EXPECT_EQ(Analyze().Result, EAnalysis::NoNetwork);
}

TEST_F(PublisherAnalysis, AnIndexIsCutAtItsSizeAndItsDeadline) {
  publisher_.AddIndexLines("messages", {"news1;Spring news;500"});
  publisher_.AddRawIndexText("<padding>\r\n" + std::string(std::size_t(kMaxIndexBytes), '#'));
  publisher_.Publish();
  EXPECT_EQ(Analyze().Result, EAnalysis::NoAccess) << "an index past its size is refused";

  // A valid index that drips in for half a minute is given up at its deadline.
  THttpReply drip = THttpReply::Text(200, "<messages>\r\nnews1;Spring news;500\r\n" + std::string(1200, '#'));
  drip.pieceBytes = 4;
  drip.pieceDelayMs = 100;
  publisher_.Server().Route("/pub/server.eng", drip);
  EXPECT_EQ(Analyze(std::chrono::milliseconds(1500)).Result, EAnalysis::NoAccess);
  ASSERT_EQ(publisher_.Server().Requests().size(), 2u);
  EXPECT_FALSE(publisher_.Server().Requests()[1].replyComplete);
  EXPECT_LT(publisher_.Server().Requests()[1].bodyBytesSent, 1200);
}

}  // namespace
