// The client against a real SMTP server (aiosmtpd on loopback); what arrived is
// read back with Python's email package as a mail reader would.
#include <QJsonArray>
#include <QHostInfo>

#include "MailClientFixture.h"
#include "exchange/MailHeaders.h"
#include "support/ReceivedMail.h"
#include "support/TestPaths.h"
#include "support/qt/SmtpSink.h"

namespace {
std::vector<std::string> Strings(const QJsonValue& value) {
  std::vector<std::string> out;
  for (const QJsonValue& item : value.toArray()) out.push_back(item.toString().toStdString());
  return out;
}
}  // namespace

TEST_F(MailClientTest, RealServerReceivesEveryPartIntact) {
  TempFolder folder;
  TSmtpSink sink(folder.Path(), 1);
  ASSERT_NE(sink.Port(), 0);

  const std::string photo = RandomBytes(300000, 11);
  const std::string quoted = RandomBytes(5000, 12) + "\r\n.\r\n";
  const std::string notes = "Shopping list\r\n.\r\n..\r\n- combs\r\n";
  const std::string archive = RandomBytes(4000, 13);
  WriteTestFile(folder / "files/photo.jpg", photo);
  WriteTestFile(folder / "files/data.bin", quoted);
  WriteTestFile(folder / "files/notes.txt", notes);
  WriteTestFile(folder / "files/archive.zip", archive);

  mail->FROM_Name = "\xc3\x84nne \"the artist\"";
  mail->TO_Address = "bob@example.com";
  mail->TO_Name = "Bob, Jr.";
  mail->ListTo = {"zoe@example.com|Zo\xc3\xab"};
  mail->Listcc = {"carl@example.com|Carl", "dora@example.com"};
  mail->ListBcc = {"secret@example.com|Hidden"};
  mail->Subject = "Neue Frisur f\xc3\xbcr dich = sch\xc3\xb6n?";
  mail->MailText = {"Hallo!", ".", "..", "Gr\xc3\xbc\xc3\x9f" "e", "", "end."};
  mail->Headers = {"X-Mailer: Tressary"};
  mail->AddAttachment({"", aeBase64, "image/jpeg", "attachment", "Portr\xc3\xa4t", (folder / "files/photo.jpg").string()});
  mail->AddAttachment({"", aeQuotedPrintable, "", "", "", (folder / "files/data.bin").string()});
  mail->AddAttachment({"", aePlainText, "text/plain", "", "", (folder / "files/notes.txt").string()});
  mail->AddAttachment({"", aeUUEncode, "", "", "", (folder / "files/archive.zip").string()});
  mail->AddAttachment({"", aeAutomatic, "", "", "", (folder / "files/photo.jpg").string()});
  mail->AddAttachment({"", aeAutomatic, "", "", "", (folder / "files/notes.txt").string()});
  ASSERT_TRUE(SendTo(sink.Port(), 60000));
  EXPECT_TRUE(errors.empty()) << errors.front().second;
  EXPECT_EQ(mail->AttachmentRecord(5)->encoding, aeBase64);
  EXPECT_EQ(mail->AttachmentRecord(6)->encoding, aePlainText);
  ASSERT_TRUE(sink.Finish());

  const QJsonObject envelope = sink.Envelope(1);
  // The client names itself: its host name when that is a domain name, else its address.
  EXPECT_EQ(envelope["helo"].toString().toStdString(),
            HeloName(QHostInfo::localHostName().toStdString(), "127.0.0.1"));
  EXPECT_EQ(envelope["from"].toString().toStdString(), "ann@example.com");
  EXPECT_EQ(Strings(envelope["rcpt"]), (std::vector<std::string>{"bob@example.com", "zoe@example.com",
                                                                  "carl@example.com", "dora@example.com",
                                                                  "secret@example.com"}));
  const TReceivedMail received = ReadReceivedMail(sink.Mail(1));
  ASSERT_TRUE(received.ok);
  EXPECT_EQ(received.Value("defects"), "");
  EXPECT_EQ(received.Value("header.From"), "\"\xc3\x84nne \\\"the artist\\\"\" <ann@example.com>");
  EXPECT_EQ(received.Value("header.To"), "\"Bob, Jr.\" <bob@example.com>, Zo\xc3\xab <zoe@example.com>");
  EXPECT_EQ(received.Value("header.cc"), "Carl <carl@example.com>, dora@example.com");
  EXPECT_FALSE(received.Has("header.Bcc"));
  EXPECT_EQ(received.Value("header.Subject"), mail->Subject);
  EXPECT_EQ(received.Value("date_parsed"), "1");
  EXPECT_TRUE(received.Has("header.Message-ID"));
  EXPECT_EQ(WithUnixLineBreaks(received.Value("body")), "Hallo!\n.\n..\nGr\xc3\xbc\xc3\x9f" "e\n\nend.\n");
  ASSERT_EQ(received.Value("attachments"), "6");
  EXPECT_EQ(received.Value("attachment.0.data"), photo);
  EXPECT_EQ(received.Value("attachment.0.description"), "Portr\xc3\xa4t");
  EXPECT_EQ(received.Value("attachment.1.data"), quoted);
  EXPECT_EQ(received.Value("attachment.2.data"), notes);
  EXPECT_EQ(received.Value("attachment.3.data"), archive);
  EXPECT_EQ(received.Value("attachment.4.data"), photo);
  EXPECT_EQ(received.Value("attachment.4.encoding"), "base64");
  EXPECT_EQ(received.Value("attachment.5.data"), notes);
  EXPECT_EQ(received.Value("attachment.5.filename"), "notes.txt");
}

TEST_F(MailClientTest, RealServerGetsAPlainMailAndEachMailItsOwnBoundary) {
  TempFolder folder;
  TSmtpSink sink(folder.Path(), 2);
  ASSERT_NE(sink.Port(), 0);
  WriteTestFile(folder / "a.bin", "\x01\x02");
  mail->KeepConnectionOpen = true;
  mail->Listcc = {"carl@example.com|Carl"};
  mail->MailText = {"Just text."};
  ASSERT_TRUE(SendTo(sink.Port()));
  mail->KeepConnectionOpen = false;
  mail->Listcc.clear();
  mail->TO_Address = "bob@example.com";
  mail->Attachments = {(folder / "a.bin").string()};
  mail->SetAction(TMailAction::Send_Mail);
  ASSERT_TRUE(WaitUntil([&] { return done == 2; }, 15000));
  EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().second);
  ASSERT_TRUE(sink.Finish());

  const TReceivedMail plain = ReadReceivedMail(sink.Mail(1));
  EXPECT_EQ(plain.Value("defects"), "");
  EXPECT_FALSE(plain.Has("header.To"));
  EXPECT_EQ(plain.Value("header.cc"), "Carl <carl@example.com>");
  EXPECT_EQ(plain.Value("header.Content-Type"), "text/plain; charset=\"us-ascii\"");
  EXPECT_EQ(WithUnixLineBreaks(plain.Value("body")), "Just text.\n");

  const TReceivedMail withFile = ReadReceivedMail(sink.Mail(2));
  EXPECT_EQ(withFile.Value("defects"), "");
  EXPECT_EQ(withFile.Value("attachment.0.data"), "\x01\x02");
  EXPECT_EQ(withFile.Value("attachment.0.filename"), "a.bin");

  TempFolder other;
  TSmtpSink second(other.Path(), 1);
  mail->TO_Address = "bob@example.com";
  ASSERT_TRUE(SendTo(second.Port()));
  ASSERT_TRUE(second.Finish());
  const std::string firstType = withFile.Value("header.Content-Type");
  const std::string secondType = ReadReceivedMail(second.Mail(1)).Value("header.Content-Type");
  EXPECT_NE(firstType.find("boundary="), std::string::npos);
  EXPECT_NE(firstType, secondType) << "a random boundary per message";
}
