#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "exchange/MailHeaders.h"
#include "support/TestPaths.h"

namespace {
// What Python's email package (default policy) reads from one header line:
// the decoded value, or for an address field "display name|address" of each mailbox.
std::string PythonReads(const std::string& headerLine, bool addresses = false, bool filename = false) {
  TempFolder folder;
  WriteTestFile(folder / "mail", headerLine + "\r\n\r\nbody\r\n");
  const std::string report =
      filename    ? "print(m.get_filename(), end=\"\")"
      : addresses ? "print(\"\\n\".join(a.display_name + \"|\" + a.addr_spec for a in m[k].addresses), end=\"\")"
                  : "print(str(m[k]), end=\"\")";
  std::string output;
  const int status = RunCommand(
      "/usr/bin/python3 -c 'import sys, email, email.policy; "
      "m = email.message_from_bytes(open(sys.argv[1], \"rb\").read(), policy=email.policy.default); "
      "k = list(m.keys())[0]; assert not m.defects and not m[k].defects, (m.defects, m[k].defects); " +
          report + "' '" + (folder / "mail").string() + "'",
      &output);
  EXPECT_EQ(status, 0) << headerLine;
  return output;
}

std::size_t LongestLine(const std::string& text) {
  std::size_t longest = 0, start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    longest = std::max(longest, end - start);
    start = end + 2;
  }
  return longest;
}
}  // namespace

TEST(HeaderWords, PrintableAsciiStaysAsItIs) {
  EXPECT_EQ(EncodeHeaderWord("Holiday pictures: 3 of 5?"), "Holiday pictures: 3 of 5?");
  EXPECT_EQ(EncodeHeaderWord(""), "");
}

TEST(HeaderWords, NonAsciiAndLookalikesBecomeUtf8EncodedWords) {
  EXPECT_EQ(EncodeHeaderWord("caf\xc3\xa9 ok"), "=?UTF-8?Q?caf=C3=A9_ok?=");
  // "?", "_", "=" and the address specials are encoded, never left to confuse a reader.
  EXPECT_EQ(EncodeHeaderWord("\xc3\xa9?_=<@>,\""), "=?UTF-8?Q?=C3=A9=3F=5F=3D=3C=40=3E=2C=22?=");
  // Text that merely looks like an encoded word is encoded so it reads back literally.
  EXPECT_EQ(PythonReads("Subject: " + EncodeHeaderWord("=?UTF-8?Q?x?=")), "=?UTF-8?Q?x?=");
}

TEST(HeaderWords, LongTextSplitsIntoShortWordsBetweenCharacters) {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "\xc3\xa9\xe2\x82\xac ";  // é, € and a blank
  const std::string encoded = EncodeHeaderWord(text);
  std::size_t start = 0;
  while (start < encoded.size()) {
    std::size_t end = encoded.find(' ', start);
    if (end == std::string::npos) end = encoded.size();
    const std::string word = encoded.substr(start, end - start);
    EXPECT_LE(word.size(), 75u);
    EXPECT_EQ(word.rfind("=?UTF-8?Q?", 0), 0u) << word;
    start = end + 1;
  }
  EXPECT_EQ(PythonReads(FoldHeaderLine("Subject: " + encoded)), text);
}

TEST(HeaderFolding, FoldsAtBlanksAndUnfoldsToTheSameText) {
  std::string value;
  for (int i = 0; i < 60; ++i) value += "word" + std::to_string(i) + " ";
  value += "end";
  const std::string folded = FoldHeaderLine("Subject: " + value);
  EXPECT_LE(LongestLine(folded), 78u);
  EXPECT_NE(folded.find("\r\n "), std::string::npos);
  EXPECT_EQ(PythonReads(folded), value);
}

TEST(HeaderFolding, NeverCutsAndEncodesWordsTooLongToFold) {
  const std::string word(1500, 'x');
  EXPECT_EQ(FoldHeaderLine("X-Long: " + std::string(100, 'y')), "X-Long: " + std::string(100, 'y'));
  const std::string line = *EncodeHeaderLine("Subject: " + word);
  // The field name keeps its first (at most 75-character) encoded word on its line.
  EXPECT_LE(LongestLine(line), 9u + 75u);
  EXPECT_GT(line.size(), 1500u);
  EXPECT_EQ(PythonReads(line), word);
}

TEST(ExtraHeaders, ValuesLoseLineBreaksAndBadNamesAreDropped) {
  EXPECT_EQ(*EncodeHeaderLine("X-Mailer: Tressary"), "X-Mailer: Tressary");
  EXPECT_EQ(*EncodeHeaderLine("X-Note:tight"), "X-Note: tight");
  EXPECT_EQ(*EncodeHeaderLine("X-Evil: a\r\nBcc: victim@example.com"), "X-Evil: aBcc: victim@example.com");
  EXPECT_EQ(EncodeHeaderLine("no colon here"), std::nullopt);
  EXPECT_EQ(EncodeHeaderLine(": empty name"), std::nullopt);
  EXPECT_EQ(EncodeHeaderLine("Bad Name: x"), std::nullopt);
  EXPECT_EQ(EncodeHeaderLine(std::string(77, 'X') + ": x"), std::nullopt);
  EXPECT_EQ(PythonReads(*EncodeHeaderLine("X-City: M\xc3\xbcnchen")), "M\xc3\xbcnchen");
}

TEST(Mailboxes, NamesWithSpecialsAreQuotedAndNonAsciiEncoded) {
  EXPECT_EQ(FormatMailbox({"a@b.example", ""}), "a@b.example");
  EXPECT_EQ(FormatMailbox({"a@b.example", "Ann Lee"}), "Ann Lee <a@b.example>");
  EXPECT_EQ(FormatMailbox({"a@b.example", "Lee, Ann \"AL\""}), "\"Lee, Ann \\\"AL\\\"\" <a@b.example>");
  EXPECT_EQ(PythonReads("To: " + FormatMailbox({"a@b.example", "Lee, Ann \"AL\""}), true),
            "Lee, Ann \"AL\"|a@b.example");
  EXPECT_EQ(PythonReads("To: " + FormatMailbox({"z@b.example", "Zo\xc3\xab <x@y>, Inc."}), true),
            "Zo\xc3\xab <x@y>, Inc.|z@b.example");
  // Quoting doubles these: a name short enough to quote could not be folded after
  // it. Python's address parser puts a blank between adjacent encoded words (RFC
  // 2047 drops it), so the names have none and its blanks are not compared.
  for (const std::string& name : {std::string(880, '\\'), std::string(700, '"')}) {
    const std::string line = FoldHeaderLine("To: " + FormatMailbox({"q@b.example", name}));
    EXPECT_LE(LongestLine(line), 998u);
    std::string read = PythonReads(line, true);
    std::erase(read, ' ');
    EXPECT_EQ(read, name + "|q@b.example");
  }
}

TEST(Recipients, EntriesSplitAtTheFirstBarAndLoseLineBreaks) {
  TMailRecipient r = ParseRecipient(" ann@example.com |Ann|Lee");
  EXPECT_EQ(r.address, "ann@example.com");
  EXPECT_EQ(r.name, "Ann|Lee");
  r = ParseRecipient("bob@example.com");
  EXPECT_EQ(r.name, "");
  r = ParseRecipient("c@example.com\r\n|Carl\r\nBcc: x");
  EXPECT_EQ(r.address, "c@example.com");
  EXPECT_EQ(r.name, "CarlBcc: x");
  EXPECT_EQ(ParseRecipient("d@e|" + std::string(1200, 'n')).name.size(), 999u);
}

TEST(Recipients, AddressesWithBracketsBlanksOrControlsAreRefused) {
  EXPECT_TRUE(IsAcceptableAddress("ann@example.com"));
  EXPECT_TRUE(IsAcceptableAddress(""));
  EXPECT_FALSE(IsAcceptableAddress("a>@example.com"));
  EXPECT_FALSE(IsAcceptableAddress("<a@example.com"));
  EXPECT_FALSE(IsAcceptableAddress("a b@example.com"));
  EXPECT_FALSE(IsAcceptableAddress(std::string("a\0b", 3)));
  EXPECT_FALSE(IsAcceptableAddress("j\xc3\xb6rg@example.com"));
  EXPECT_TRUE(IsAcceptableAddress(std::string(242, 'a') + "@example.com"));
  EXPECT_FALSE(IsAcceptableAddress(std::string(243, 'a') + "@example.com"));
}

TEST(MimeParameters, QuotedOrPercentEncoded) {
  EXPECT_EQ(MimeParameter("name", "my \"best\" photo.jpg"), "name=\"my \\\"best\\\" photo.jpg\"");
  EXPECT_EQ(MimeParameter("filename", "\xc3\xa9t\xc3\xa9 1.png"), "filename*=utf-8''%C3%A9t%C3%A9%201.png");
  // Short enough to quote, too long once its quotes are escaped.
  // (Python's reader takes a value's outer quotes for quoting: the ends are letters.)
  const std::string quotes = "x" + std::string(500, '"') + "y";
  const std::string line = FoldHeaderLine("Content-Disposition: attachment; " + MimeParameter("filename", quotes));
  EXPECT_LE(LongestLine(line), 998u);
  EXPECT_EQ(PythonReads(line, false, true), quotes);
}

TEST(MimeParameters, LongValuesGoInContinuationsThatReadBackWhole) {
  std::string accented;
  for (int i = 0; i < 120; ++i) accented += "\xc3\xa9";
  const std::string ascii = std::string(1000, 'a') + ".txt";
  for (const std::string& name : {accented + ".jpg", ascii}) {
    const std::string line = FoldHeaderLine("Content-Disposition: attachment; " + MimeParameter("filename", name));
    EXPECT_LE(LongestLine(line), 78u);
    EXPECT_EQ(PythonReads(line, false, true), name);
  }
}

TEST(MadeUpValues, DateMessageIdBoundaryTokenAndHeloName) {
  const std::string date = MailDate(1796630400);  // 2026-12-07 08:00:00 UTC
  EXPECT_TRUE(std::regex_match(date, std::regex(R"((Sun|Mon|Tue|Wed|Thu|Fri|Sat), \d\d (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \d{4} \d\d:\d\d:\d\d [+-]\d{4})")))
      << date;
  std::string seconds;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c 'import email.utils, sys; "
                       "print(int(email.utils.parsedate_to_datetime(sys.argv[1]).timestamp()), end=\"\")' '" +
                           date + "'",
                       &seconds),
            0);
  EXPECT_EQ(seconds, "1796630400");

  EXPECT_EQ(MakeMessageId("abc", "ann@mail.example.com"), "<abc@mail.example.com>");
  EXPECT_EQ(MakeMessageId("abc", "ann"), "<abc@tressary.invalid>");
  EXPECT_EQ(MakeMessageId("abc", "ann@bad domain"), "<abc@tressary.invalid>");

  const std::string token = RandomToken(24);
  EXPECT_EQ(token.size(), 24u);
  EXPECT_TRUE(std::regex_match(token, std::regex("[A-Za-z0-9]+")));
  EXPECT_NE(token, RandomToken(24));

  EXPECT_EQ(HeloName("mail.example.com", "10.0.0.2"), "mail.example.com");
  EXPECT_EQ(HeloName("box", "127.0.0.1"), "[127.0.0.1]");
  EXPECT_EQ(HeloName("", "::1"), "[IPv6:::1]");
  EXPECT_EQ(HeloName("bad_name.local", "192.168.1.5"), "[192.168.1.5]");
}
