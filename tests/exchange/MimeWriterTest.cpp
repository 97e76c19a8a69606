#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/MimeWriter.h"
#include "support/ReceivedMail.h"
#include "support/TestPaths.h"

namespace {

struct TWritten {
  std::string received;  // what a server stores: line breaks CR LF, dot-stuffing undone
  std::vector<std::pair<int, std::string>> infos;
  std::size_t largestChunk = 0;
  std::string error;
};

// Runs the writer to the end the way the client sends it (dot-stuffed), then
// undoes the stuffing as a server does.
TWritten Write(TMailContent content) {
  TWritten result;
  TMimeWriter writer(std::move(content),
                     [&](SendMailInfo info, const std::string& text) { result.infos.emplace_back(info, text); });
  TDotStuffer stuffer;
  std::string wire;
  std::string chunk;
  while (writer.Next(chunk)) {
    result.largestChunk = std::max(result.largestChunk, chunk.size());
    stuffer.Add(chunk, wire);
  }
  result.error = writer.Error();
  stuffer.Finish(wire);
  EXPECT_EQ(wire.substr(wire.size() - 5), "\r\n.\r\n");
  wire.resize(wire.size() - 3);
  std::size_t lineStart = 0;
  while (lineStart < wire.size()) {
    if (wire[lineStart] == '.') {
      EXPECT_EQ(wire[lineStart + 1], '.') << "unstuffed dot at " << lineStart;
      wire.erase(lineStart, 1);
    }
    const std::size_t end = wire.find("\r\n", lineStart);
    if (end == std::string::npos) break;
    lineStart = end + 2;
  }
  result.received = wire;
  return result;
}

TMailContent BasicContent() {
  TMailContent content;
  content.from = {"ann@example.com", "Ann \xc3\x85ngstr\xc3\xb6m"};
  content.to = {{"bob@example.com", "Lee, Bob"}, {"carl@example.com", ""}};
  content.subject = "Pictures from M\xc3\xbcnchen = fun?";
  content.boundary = "==============ghyurgtfy573abcDEF123======___";
  content.date = "Mon, 07 Dec 2026 08:04:08 +0000";
  content.messageId = "<abc123@example.com>";
  return content;
}

TReceivedMail Read(const TWritten& written) {
  TempFolder folder;
  WriteTestFile(folder / "mail.eml", written.received);
  return ReadReceivedMail(folder / "mail.eml");
}
}  // namespace

TEST(MimeWriter, MultipartMailReadsBackExactlyInEveryEncoding) {
  TempFolder files;
  const std::string binary = RandomBytes(5000, 1);
  const std::string quoted = RandomBytes(3000, 2) + "\r\n.\r\n";
  const std::string text = "first line\r\n.\r\n..dots\r\n\tindented\r\n";
  const std::string uu = RandomBytes(4000, 3);
  WriteTestFile(files / "photo.jpg", binary);
  WriteTestFile(files / "data.bin", quoted);
  WriteTestFile(files / "notes.txt", text);
  WriteTestFile(files / "archive.zip", uu);

  TMailContent content = BasicContent();
  content.cc = {{"dora@example.com", "Dora"}};
  content.text = {"Hello \xc3\xa9 world", ".", "..", "", std::string(1200, 'w'), "last"};
  content.headers = {"X-Mailer: Tressary", "broken header"};
  content.attachments = {
      {"", aeBase64, "image/jpeg", "attachment", "Ma photo \xc3\xa0 moi", (files / "photo.jpg").string()},
      {"", aeQuotedPrintable, "application/octet-stream", "attachment", "", (files / "data.bin").string()},
      {"", aePlainText, "text/plain", "attachment", "", (files / "notes.txt").string()},
      {"", aeUUEncode, "", "attachment", "", (files / "archive.zip").string()},
      {"\xc3\xa9t\xc3\xa9.jpg", aeBase64, "image/jpeg", "inline", "", (files / "photo.jpg").string()},
  };
  const TWritten written = Write(content);
  ASSERT_EQ(written.error, "");
  const TReceivedMail mail = Read(written);
  ASSERT_TRUE(mail.ok);
  EXPECT_EQ(mail.Value("defects"), "");
  EXPECT_LE(std::stoi(mail.Value("max_line")), 998);
  EXPECT_EQ(mail.Value("bare_lf"), "0");
  EXPECT_EQ(mail.Value("header.From"), "Ann \xc3\x85ngstr\xc3\xb6m <ann@example.com>");
  EXPECT_EQ(mail.Value("header.To"), "\"Lee, Bob\" <bob@example.com>, carl@example.com");
  EXPECT_EQ(mail.Value("header.cc"), "Dora <dora@example.com>");
  EXPECT_EQ(mail.Value("header.Subject"), "Pictures from M\xc3\xbcnchen = fun?");
  EXPECT_EQ(mail.Value("date_parsed"), "1");
  EXPECT_EQ(mail.Value("body_charset"), "utf-8");
  EXPECT_EQ(WithUnixLineBreaks(mail.Value("body")),
            "Hello \xc3\xa9 world\n.\n..\n\n" + std::string(1200, 'w') + "\nlast\n");
  ASSERT_EQ(mail.Value("attachments"), "5");
  EXPECT_EQ(mail.Value("attachment.0.data"), binary);
  EXPECT_EQ(mail.Value("attachment.0.filename"), "photo.jpg");
  EXPECT_EQ(mail.Value("attachment.0.content_type"), "image/jpeg");
  EXPECT_EQ(mail.Value("attachment.0.description"), "Ma photo \xc3\xa0 moi");
  EXPECT_EQ(mail.Value("attachment.1.data"), quoted);
  EXPECT_EQ(mail.Value("attachment.1.encoding"), "quoted-printable");
  EXPECT_EQ(mail.Value("attachment.2.data"), text);
  EXPECT_EQ(mail.Value("attachment.3.data"), uu);
  EXPECT_EQ(mail.Value("attachment.3.filename"), "archive.uue");
  EXPECT_EQ(mail.Value("attachment.4.filename"), "photo.jpg");
  EXPECT_NE(written.received.find("name*=utf-8''%C3%A9t%C3%A9.jpg"), std::string::npos);
  EXPECT_NE(written.received.find("\r\nX-Mailer: Tressary\r\n"), std::string::npos);
  EXPECT_EQ(written.received.find("broken header"), std::string::npos);
}

TEST(MimeWriter, TextThatCannotTravelAsItIsGoesQuotedPrintable) {
  TempFolder files;
  const std::string longLines = std::string(1500, 'a') + "\r\nshort\r\n";
  const std::string eightBit = "gr\xc3\xbc\xc3\x9f dich\r\n";
  WriteTestFile(files / "long.txt", longLines);
  WriteTestFile(files / "utf8.txt", eightBit);
  TMailContent content = BasicContent();
  content.attachments = {{"", aePlainText, "text/plain", "attachment", "", (files / "long.txt").string()},
                         {"", aePlainText, "text/plain", "attachment", "", (files / "utf8.txt").string()}};
  const TWritten written = Write(content);
  const TReceivedMail mail = Read(written);
  ASSERT_TRUE(mail.ok);
  EXPECT_EQ(mail.Value("defects"), "");
  EXPECT_LE(std::stoi(mail.Value("max_line")), 78);
  EXPECT_EQ(mail.Value("attachment.0.encoding"), "quoted-printable");
  EXPECT_EQ(mail.Value("attachment.0.data"), longLines);
  EXPECT_EQ(mail.Value("attachment.1.data"), eightBit);
}

TEST(MimeWriter, PlainBodyWithoutAttachmentsIsSingleTextPart) {
  TMailContent content = BasicContent();
  content.text = {"plain", ".hidden dot"};
  TWritten written = Write(content);
  EXPECT_NE(written.received.find("Content-Type: text/plain; charset=\"us-ascii\"\r\n"), std::string::npos);
  EXPECT_EQ(written.received.find("Content-Transfer-Encoding"), std::string::npos);
  EXPECT_EQ(written.received.find("multipart"), std::string::npos);
  TReceivedMail mail = Read(written);
  EXPECT_EQ(WithUnixLineBreaks(mail.Value("body")), "plain\n.hidden dot\n");

  content.text = {"caf\xc3\xa9"};
  written = Write(content);
  EXPECT_NE(written.received.find("charset=\"utf-8\"\r\nContent-Transfer-Encoding: quoted-printable\r\n"),
            std::string::npos);
  EXPECT_NE(written.received.find("\r\n\r\ncaf=C3=A9\r\n"), std::string::npos);
  mail = Read(written);
  EXPECT_EQ(mail.Value("defects"), "");
  EXPECT_EQ(WithUnixLineBreaks(mail.Value("body")), "caf\xc3\xa9\n");
}

TEST(MimeWriter, CcOnlyMailHasNoToHeader) {
  TMailContent content = BasicContent();
  content.to.clear();
  content.cc = {{"dora@example.com", "D\xc3\xb6ra"}, {"eve@example.com", ""}};
  const TWritten written = Write(content);
  EXPECT_EQ(written.received.find("\r\nTo:"), std::string::npos);
  const TReceivedMail mail = Read(written);
  EXPECT_FALSE(mail.Has("header.To"));
  EXPECT_EQ(mail.Value("header.cc"), "D\xc3\xb6ra <dora@example.com>, eve@example.com");
}

TEST(MimeWriter, FedTextGoesBeforeTheBodyAndIsCounted) {
  TMailContent content = BasicContent();
  content.text = {"body"};
  std::vector<std::string> pieces = {"fed one\r\n", "fed two\r\n"};
  std::size_t next = 0;
  content.feed = [&] { return next < pieces.size() ? pieces[next++] : std::string(); };
  const TWritten written = Write(content);
  EXPECT_NE(written.received.find("\r\n\r\nfed one\r\nfed two\r\nbody\r\n"), std::string::npos);
  std::vector<std::string> progress;
  for (const auto& [info, text] : written.infos)
    if (info == kMailInfoBodyProgress) progress.push_back(text);
  EXPECT_EQ(progress, (std::vector<std::string>{"9", "18", "6"}));
}

TEST(MimeWriter, LargeAttachmentIsStreamedInSmallPiecesWithProgress) {
  TempFolder files;
  const std::string data = RandomBytes(1 << 20, 4);
  WriteTestFile(files / "big.bin", data);
  TMailContent content = BasicContent();
  content.attachments = {{"", aeBase64, "application/octet-stream", "attachment", "", (files / "big.bin").string()}};
  const TWritten written = Write(content);
  EXPECT_LT(written.largestChunk, 8u * 1024);
  std::vector<std::string> progress;
  for (const auto& [info, text] : written.infos) {
    if (info == kMailInfoBase64Progress) progress.push_back(text);
    if (info == kMailInfoBase64Size) {
      EXPECT_EQ(text, std::to_string(data.size()));
    }
  }
  ASSERT_FALSE(progress.empty());
  EXPECT_EQ(progress.front(), "57");
  EXPECT_EQ(progress.back(), std::to_string(data.size()));
  EXPECT_EQ(progress.size(), data.size() / 57 + 1);
  EXPECT_EQ(Read(written).Value("attachment.0.data"), data);
}

TEST(MimeWriter, LineBreaksInFileNamesReachNoHeader) {
  TempFolder files;
  const fs::path path = files / "evil\r\nX-Injected: 1\n.bin";
  WriteTestFile(path, "data");
  TMailContent content = BasicContent();
  content.attachments = {{"", aeUUEncode, "", "attachment", "", path.string()},
                         {"", aeBase64, "", "attachment", "", path.string()}};
  const TWritten written = Write(content);
  EXPECT_EQ(written.received.find("\nX-Injected"), std::string::npos);
  const TReceivedMail mail = Read(written);
  EXPECT_EQ(mail.Value("defects"), "");
  EXPECT_EQ(mail.Value("attachment.1.filename"), "evilX-Injected: 1.bin");
  EXPECT_EQ(mail.Value("attachment.0.data"), "data");
  EXPECT_EQ(mail.Value("attachment.1.data"), "data");
}

TEST(MimeWriter, LongNamesAndTypesKeepEveryLineWithinTheLimit) {
  TempFolder files;
  WriteTestFile(files / "a.bin", "data");
  std::string accented;
  for (int i = 0; i < 300; ++i) accented += "\xc3\xa9";
  const std::string quoted = std::string(1500, '"') + ".jpg";
  TMailContent content = BasicContent();
  const std::string longType = "image/" + std::string(1200, 'x');
  const std::string uuName = std::string(1000, 'u') + ".zip";
  content.attachments = {{quoted, aeBase64, longType, "", "", (files / "a.bin").string()},
                         {accented + ".png", aeBase64, "", "", "", (files / "a.bin").string()},
                         {uuName, aeUUEncode, "", std::string(1200, 'd'), "", (files / "a.bin").string()}};
  const TWritten written = Write(content);
  ASSERT_EQ(written.error, "");
  const TReceivedMail mail = Read(written);
  EXPECT_EQ(mail.Value("defects"), "");
  EXPECT_LE(std::stoi(mail.Value("max_line")), 998);
  EXPECT_EQ(mail.Value("attachment.0.content_type"), "application/octet-stream");
  // Names are cut to 255 bytes between characters, keeping the extension.
  EXPECT_EQ(mail.Value("attachment.0.filename"), std::string(251, '"') + ".jpg");
  EXPECT_EQ(mail.Value("attachment.1.filename"), accented.substr(0, 250) + ".png");
  EXPECT_EQ(mail.Value("attachment.2.filename"), std::string(251, 'u') + ".uue");
  EXPECT_EQ(mail.Value("attachment.2.data"), "data");
}

TEST(MimeWriter, AttachmentThatVanishedEndsTheWritingWithAnError) {
  TempFolder files;
  TMailContent content = BasicContent();
  content.attachments = {{"", aeBase64, "", "attachment", "", (files / "gone.jpg").string()}};
  const TWritten written = Write(content);
  EXPECT_NE(written.error.find("gone.jpg"), std::string::npos);
}

TEST(FileClassification, OnlyCleanTextTravelsAsText) {
  TempFolder files;
  const auto kind = [&](const std::string& bytes) {
    WriteTestFile(files / "f", bytes);
    return ClassifyFile(files / "f");
  };
  EXPECT_EQ(kind(""), TFileKind::Text);
  EXPECT_EQ(kind("line\r\nline\n\tx"), TFileKind::Text);
  EXPECT_EQ(kind(std::string(998, 'a') + "\n"), TFileKind::Text);
  EXPECT_EQ(kind(std::string(999, 'a') + "\n"), TFileKind::Binary);
  EXPECT_EQ(kind("caf\xc3\xa9"), TFileKind::Binary);
  EXPECT_EQ(kind(std::string("a\0b", 3)), TFileKind::Binary);
  EXPECT_EQ(kind("a\rb"), TFileKind::Binary);
  EXPECT_EQ(kind("ends in CR\r"), TFileKind::Binary);
  // The 2048-byte block boundary falls inside CR LF here.
  EXPECT_EQ(kind(std::string(2047, 'a') + "\r\n"), TFileKind::Binary) << "line longer than 998";
  EXPECT_EQ(kind(std::string(2047, '\n') + "\r\n"), TFileKind::Text);
  EXPECT_EQ(ClassifyFile(files / "missing"), TFileKind::Unreadable);
  EXPECT_EQ(ChooseEncoding(files / "f"), aePlainText);
  WriteTestFile(files / "f", "\x89PNG");
  EXPECT_EQ(ChooseEncoding(files / "f"), aeBase64);
}
