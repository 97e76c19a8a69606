#include <gtest/gtest.h>

#include "online/OnlineRecords.h"

namespace {

class OnlineRecords : public ::testing::Test {};

TEST_F(OnlineRecords, FieldsAreCutAtTheDelimiterAndMissingOnesAreEmpty) {
  EXPECT_EQ(RecordField("a;b;;d;", 1), "a");
  EXPECT_EQ(RecordField("a;b;;d;", 2), "b");
  EXPECT_EQ(RecordField("a;b;;d;", 3), "");
  EXPECT_EQ(RecordField("a;b;;d;", 4), "d");
  EXPECT_EQ(RecordField("a;b;;d;", 5), "");
  EXPECT_EQ(RecordField("a;b;;d;", 9), "");
  EXPECT_EQ(RecordField("a;b;;d;", 0), "");
  // The text after the last delimiter still counts, as the user number of a
  // registration reply without a closing ";".
  EXPECT_EQ(RecordField("OK;12345", 2), "12345");
  EXPECT_EQ(RecordField(" x ;", 1), " x ");
}

TEST_F(OnlineRecords, AnotherDelimiterSplitsAndJoinsAlike) {
  EXPECT_EQ(RecordField("a|b;c|", 2, '|'), "b;c");
  TRecordFields fields{"1", "2"};
  EXPECT_EQ(JoinRecordFields(fields, '|'), "1|2|" + std::string(9, '|'));
}

TEST_F(OnlineRecords, JoiningElevenEmptyFieldsGivesElevenDelimitersAndRoundTrips) {
  TRecordFields empty{};
  EXPECT_EQ(JoinRecordFields(empty), ";;;;;;;;;;;");
  for (int i = 1; i <= 11; ++i) EXPECT_EQ(RecordField(";;;;;;;;;;;", i), "");

  TRegistrationRecord sent;
  sent.FirstName = "Anna Maria";
  sent.SecondName = "Berg";
  sent.EMail = "anna@example.org";
  sent.Sex = "1";
  sent.BirthDate = "5.3.1990";
  sent.Country = "12";
  sent.ProductCode = "JQ";
  sent.SortKey = "0";
  sent.Spare11 = "0";
  std::string line = JoinRecordFields(sent.ToFields());
  EXPECT_EQ(line, "Anna Maria;Berg;anna@example.org;;;1;5.3.1990;12;JQ;0;0;");
  auto back = ParseRegistrationRecord(line);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->ToFields(), sent.ToFields());
}

TEST_F(OnlineRecords, RegistrationRecordsNeedTheirSixRequiredFields) {
  const std::string full = "A;B;e@x;7;;1;1.1.2000;3;JQ;5;0;";
  EXPECT_TRUE(ParseRegistrationRecord(full));
  // Fields 4, 5, 8, 10 and 11 may be empty.
  EXPECT_TRUE(ParseRegistrationRecord("A;B;e@x;;;1;1.1.2000;;JQ;;;"));
  for (int required : {1, 2, 3, 6, 7, 9}) {
    TRecordFields fields{"A", "B", "e@x", "7", "", "1", "1.1.2000", "3", "JQ", "5", "0"};
    fields[required - 1].clear();
    EXPECT_FALSE(ParseRegistrationRecord(JoinRecordFields(fields))) << "field " << required;
  }
  // No comment or length test: a "#" first name is a name.
  EXPECT_TRUE(ParseRegistrationRecord("#A;B;e@x;;;1;d;;JQ;"));
}

TEST_F(OnlineRecords, WorksListSkipsShortLinesAndCommentsAndNeedsItsFields) {
  EXPECT_FALSE(ParseGalleryWorkRecord("#1;0;000000;;;Name;x;;"));
  EXPECT_FALSE(ParseGalleryWorkRecord("#"));
  // Four characters are too short, five are parsed (and here lack fields).
  EXPECT_FALSE(ParseGalleryWorkRecord("1;0;"));
  EXPECT_FALSE(ParseGalleryWorkRecord("1;0;0"));
  EXPECT_TRUE(ParseGalleryWorkRecord("1;0;0;;;N;x"));

  auto work = ParseGalleryWorkRecord("17-3;1;0a1b2c;;;My work;v;;");
  ASSERT_TRUE(work);
  EXPECT_EQ(work->Id, "17-3");
  EXPECT_EQ(work->Kind, "1");
  EXPECT_EQ(work->Attributes, "0a1b2c");
  EXPECT_EQ(work->Password, "");
  EXPECT_EQ(work->Name, "My work");
  EXPECT_EQ(work->Size, "");

  EXPECT_FALSE(ParseGalleryWorkRecord("17-3;1;0a1b2c;pw;x;;v;100;")) << "empty name";
  EXPECT_FALSE(ParseGalleryWorkRecord("17-3;1;0a1b2c;pw;x;N;;100;")) << "empty field 7";
  EXPECT_FALSE(ParseGalleryWorkRecord(";1;0a1b2c;pw;x;N;v;100;")) << "empty id";
}

TEST_F(OnlineRecords, ListTextsKeepTheValidRecordsInOrder) {
  std::string works = "# gallery\r\n1;0;000000;;;First;v;;\r\nbad\r\n\r\n2;1;111111;pw;;Second;v;900;\r\n";
  auto parsed = ParseGalleryWorksList(works);
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[0].Name, "First");
  EXPECT_EQ(parsed[1].Password, "pw");
  EXPECT_EQ(parsed[1].Size, "900");

  auto users = ParseUsersList("A;B;e;7;;1;d;3;JQ;2;0;\nnot a user\nC;D;f;8;;0;d;1;JQ;1;0;");
  ASSERT_EQ(users.size(), 2u);
  EXPECT_EQ(users[1].UserNumber, "8");
  EXPECT_EQ(users[1].SortKey, "1");
}

TEST_F(OnlineRecords, AUserLineLackingANamedFieldIsDropped) {
  const auto lineWithout = [](int field) {
    std::string line;
    for (int n = 1; n <= 11; ++n) line += (n == field ? "" : "v" + std::to_string(n)) + ";";
    return line;
  };
  ASSERT_EQ(ParseUsersList(lineWithout(0)).size(), 1u);
  for (int field : {1, 2, 3, 4, 6, 7, 9}) EXPECT_TRUE(ParseUsersList(lineWithout(field)).empty()) << field;
  for (int field : {5, 8, 10, 11}) EXPECT_EQ(ParseUsersList(lineWithout(field)).size(), 1u) << field;
}

TEST_F(OnlineRecords, AttributeDigitsAreWrittenUpperCaseAndReadInEitherCase) {
  EXPECT_EQ(FormatAttributeDigits({0, 9, 10, 11, 15, 1}), "09ABF1");
  EXPECT_FALSE(FormatAttributeDigits({0, 16, 0, 0, 0, 0})) << "an index of 16 would take two characters";
  EXPECT_EQ(AttributeDigitAt("09abf1", 2), 10);
  EXPECT_EQ(AttributeDigitAt("09ABF1", 2), 10);
  EXPECT_EQ(AttributeDigitAt("09ABF1", 4), 15);
  EXPECT_FALSE(AttributeDigitAt("09ABF1", 6));
  EXPECT_FALSE(AttributeDigitAt("09gBF1", 2));
  EXPECT_FALSE(AttributeDigitAt("09", -1));
}

TEST_F(OnlineRecords, UploadRecordJoinsItsElevenFields) {
  TGallaryOut out;
  out.UserNumber = "42";
  out.Kind = "0";
  out.Attributes = *FormatAttributeDigits({1, 2, 3, 4, 5, 11});
  out.Name = "Summer";
  out.ProductVersion = "1.0";
  out.PreviewSize = "1234";
  out.FullSize = "56789";
  out.AuthorName = "Anna Berg";
  out.Date = FormatRecordDate(2026, 3, 5);
  EXPECT_EQ(JoinRecordFields(out.ToFields()), "42;0;12345B;;0;Summer;1.0;1234;56789;Anna Berg;5.3.2026;");
}

TEST(ConnectionErrors, OnlyTheFourConnectionCodesCount) {
  for (int code : {12012, 12023, 12029, 12030}) EXPECT_TRUE(IsConnectionError(code)) << code;
  for (int code : {0, 12007, 12002, 12017, 12031, -1}) EXPECT_FALSE(IsConnectionError(code)) << code;
}

TEST(SplitUrl, TakesHostPortAndPathAfterAnyCaseScheme) {
  auto parts = SplitURL("http://www.example.org/cgi-bin/s?kztype=0");
  EXPECT_EQ(parts.host, "www.example.org");
  EXPECT_EQ(parts.port, 80);
  EXPECT_EQ(parts.path, "/cgi-bin/s?kztype=0");
  EXPECT_FALSE(parts.secure);

  parts = SplitURL("HTTP://Host.Example:8080/a/b");
  EXPECT_EQ(parts.host, "Host.Example");
  EXPECT_EQ(parts.port, 8080);
  EXPECT_EQ(parts.path, "/a/b");

  parts = SplitURL("hTTpS://secure.example/x");
  EXPECT_TRUE(parts.secure);
  EXPECT_EQ(parts.port, 443);
  EXPECT_EQ(parts.ToUrl(), "https://secure.example:443/x");
}

TEST(SplitUrl, HostOnlyAndSchemeLessUrlsGetARootPath) {
  auto parts = SplitURL("http://example.org");
  EXPECT_EQ(parts.host, "example.org");
  EXPECT_EQ(parts.path, "/");
  parts = SplitURL("example.org/files/");
  EXPECT_EQ(parts.host, "example.org");
  EXPECT_EQ(parts.path, "/files/");
  parts = SplitURL("example.org?x=1");
  EXPECT_EQ(parts.host, "example.org");
  EXPECT_EQ(parts.path, "/?x=1");
  EXPECT_EQ(parts.ToUrl(), "http://example.org:80/?x=1");
}

TEST(SplitUrl, AnHttpInsideTheQueryIsLeftAlone) {
  auto parts = SplitURL("host.example/go?to=http://other.example/");
  EXPECT_EQ(parts.host, "host.example");
  EXPECT_EQ(parts.path, "/go?to=http://other.example/");
  parts = SplitURL("http://host.example/go?to=http://other.example/");
  EXPECT_EQ(parts.host, "host.example");
  EXPECT_EQ(parts.path, "/go?to=http://other.example/");
}

TEST(SplitUrl, BadPortsAndEmptyHostsAreNotValid) {
  EXPECT_FALSE(SplitURL("http://host:0/").Valid());
  EXPECT_FALSE(SplitURL("http://host:65536/").Valid());
  EXPECT_FALSE(SplitURL("http://host:8x/").Valid());
  EXPECT_FALSE(SplitURL("http://host:/").Valid());
  EXPECT_FALSE(SplitURL("http:///path").Valid());
  EXPECT_FALSE(SplitURL("").Valid());
  EXPECT_TRUE(SplitURL("http://host:65535/").Valid());
}

}  // namespace
