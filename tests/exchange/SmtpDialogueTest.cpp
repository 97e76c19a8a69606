#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/SmtpDialogue.h"

namespace {
// Records what the dialogue asks of its socket driver.
class TRecordingHost : public ISmtpDialogueHost {
 public:
  std::vector<std::string> sent;
  std::vector<std::pair<int, std::string>> infos;
  std::vector<std::pair<int, std::string>> failures;
  int writeRequests = 0;
  int done = 0;

  void DialogueSend(const std::string& line) override { sent.push_back(line); }
  void DialogueWriteMessage() override { ++writeRequests; }
  void DialogueDone() override { ++done; }
  void DialogueInfo(SendMailInfo info, const std::string& text) override { infos.emplace_back(info, text); }
  void DialogueFail(SendMailError error, const std::string& text) override { failures.emplace_back(error, text); }

  std::vector<std::string> InfoTexts(int code) const {
    std::vector<std::string> texts;
    for (const auto& [info, text] : infos)
      if (info == code) texts.push_back(text);
    return texts;
  }
};

class SmtpDialogueTest : public ::testing::Test {
 protected:
  TRecordingHost host;
  TSmtpDialogue dialogue{host};

  void Start(std::vector<std::string> recipients, bool keepOpen = false) {
    dialogue.Prepare("me@example.com", std::move(recipients), keepOpen);
    dialogue.Connected("[127.0.0.1]");
  }
  // Runs the dialogue up to the server's readiness for the message text.
  void UpToMessage() {
    dialogue.Receive("220 ready\r\n250 hello\r\n250 sender ok\r\n");
    while (host.sent.back() != "DATA") dialogue.Receive("250 ok\r\n");
    dialogue.Receive("354 go ahead\r\n");
  }
};
}  // namespace

TEST_F(SmtpDialogueTest, OneReplyAnswersEachCommandInOrder) {
  Start({"a@x.example", "b@x.example", "c@x.example"});
  UpToMessage();
  EXPECT_EQ(host.sent, (std::vector<std::string>{"HELO [127.0.0.1]", "MAIL FROM:<me@example.com>", "RCPT TO:<a@x.example>",
                                                 "RCPT TO:<b@x.example>", "RCPT TO:<c@x.example>", "DATA"}));
  EXPECT_EQ(host.InfoTexts(kMailInfoRecipientSent),
            (std::vector<std::string>{"a@x.example", "b@x.example", "c@x.example"}));
  EXPECT_EQ(host.writeRequests, 1);
  dialogue.MessageWritten();
  dialogue.Receive("250 queued\r\n");
  EXPECT_TRUE(dialogue.Accepted());
  EXPECT_EQ(host.sent.back(), "QUIT");
  EXPECT_EQ(host.done, 0);
  dialogue.Receive("221 bye\r\n");
  EXPECT_EQ(host.done, 1);
  EXPECT_TRUE(host.failures.empty());
  EXPECT_EQ(host.InfoTexts(kMailInfoAccepted).size(), 1u);
}

TEST_F(SmtpDialogueTest, ContinuationLinesWaitForTheFinalLine) {
  Start({"a@x.example"});
  dialogue.Receive("220-first\r\n220-second\r\n");
  EXPECT_TRUE(host.sent.empty());
  dialogue.Receive("220 last\r\n");
  EXPECT_EQ(host.sent, (std::vector<std::string>{"HELO [127.0.0.1]"}));
  EXPECT_EQ(host.InfoTexts(kMailInfoReply).size(), 3u);
}

TEST_F(SmtpDialogueTest, ShortLinesBareLineFeedsAndSplitPacketsAreReplies) {
  Start({"a@x.example"});
  dialogue.Receive("22");
  dialogue.Receive("0\n25");  // "220" alone, ended by a bare LF
  EXPECT_EQ(host.sent.size(), 1u);
  dialogue.Receive("0\r");
  EXPECT_EQ(host.sent.size(), 1u);
  dialogue.Receive("\n");
  EXPECT_EQ(host.sent.back(), "MAIL FROM:<me@example.com>");
  EXPECT_EQ(host.InfoTexts(kMailInfoReply), (std::vector<std::string>{"220", "250"}));
}

TEST_F(SmtpDialogueTest, RefusedRecipientIsReportedAndTheNextOneFollows) {
  Start({"a@x.example", "bad@x.example", "c@x.example"});
  dialogue.Receive("220 ready\r\n250 hello\r\n250 sender ok\r\n250 ok\r\n");
  dialogue.Receive("550-no such user\r\n550 really\r\n");
  EXPECT_EQ(host.InfoTexts(kMailInfoRecipientRefused), (std::vector<std::string>{"bad@x.example"}));
  EXPECT_EQ(host.sent.back(), "RCPT TO:<c@x.example>");
  dialogue.Receive("451 try later\r\n");
  EXPECT_EQ(host.sent.back(), "DATA");
  EXPECT_TRUE(host.failures.empty());
}

TEST_F(SmtpDialogueTest, RefusalOutsideRecipientsEndsTheSendOnce) {
  Start({"a@x.example"});
  dialogue.Receive("220 ready\r\n250 hello\r\n553 sender refused\r\n250 ignored\r\n");
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0], (std::pair<int, std::string>{kMailErrorResponse, "Unexpected response: 553 sender refused"}));
  EXPECT_EQ(host.sent.size(), 2u);
  dialogue.Receive("250 more\r\n");
  EXPECT_EQ(host.failures.size(), 1u);
}

TEST_F(SmtpDialogueTest, GarbledOrEmptyRepliesAreRefusals) {
  Start({"a@x.example"});
  dialogue.Receive("\r\n");
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0].second, "Unexpected response: ");
}

TEST_F(SmtpDialogueTest, AcceptanceBeforeTheMessageWasWrittenIsAnError) {
  Start({"a@x.example"});
  UpToMessage();
  dialogue.Receive("250 too early\r\n");
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_FALSE(dialogue.Accepted());
}

TEST_F(SmtpDialogueTest, EndlessLineOrReplyIsCutOff) {
  Start({"a@x.example"});
  for (int i = 0; i < 5 && host.failures.empty(); ++i) dialogue.Receive(std::string(1000, 'x'));
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0].first, kMailErrorResponse);
  EXPECT_LT(host.failures[0].second.size(), 600u);

  TRecordingHost host2;
  TSmtpDialogue endless(host2);
  endless.Prepare("me@example.com", {"a@x.example"}, false);
  endless.Connected("h");
  for (int i = 0; i <= TSmtpDialogue::kMaxReplyLines && host2.failures.empty(); ++i) endless.Receive("220-more\r\n");
  EXPECT_EQ(host2.failures.size(), 1u);
  EXPECT_TRUE(host2.sent.empty());
}

TEST_F(SmtpDialogueTest, NoRecipientsIsADestinationError) {
  Start({});
  dialogue.Receive("220 ready\r\n250 hello\r\n250 sender ok\r\n");
  ASSERT_EQ(host.failures.size(), 1u);
  EXPECT_EQ(host.failures[0].first, kMailErrorDestination);
}

TEST_F(SmtpDialogueTest, KeptConnectionSendsTheNextMailFromMailFrom) {
  Start({"a@x.example"}, true);
  UpToMessage();
  dialogue.MessageWritten();
  dialogue.Receive("250 queued\r\n");
  EXPECT_EQ(host.done, 1);
  EXPECT_NE(host.sent.back(), "QUIT");
  // Stray lines between mails start nothing and fail nothing.
  const std::size_t sentBefore = host.sent.size();
  dialogue.Receive("250 stray\r\n421 closing soon\r\n");
  EXPECT_EQ(host.sent.size(), sentBefore);
  EXPECT_TRUE(host.failures.empty());
  dialogue.Prepare("me@example.com", {"b@x.example"}, true);
  dialogue.Resume();
  EXPECT_EQ(host.sent.back(), "MAIL FROM:<me@example.com>");
  dialogue.Receive("250 ok\r\n");
  EXPECT_EQ(host.sent.back(), "RCPT TO:<b@x.example>");
}

TEST_F(SmtpDialogueTest, StoppedDialogueIgnoresLaterReplies) {
  Start({"a@x.example"});
  dialogue.Stop();
  dialogue.Receive("220 ready\r\n");
  EXPECT_TRUE(host.sent.empty());
  EXPECT_TRUE(host.infos.empty());
}

TEST(MailFailures, SocketErrorNumbersMapToCodesAndTexts) {
  EXPECT_EQ(MailFailureForSocketError(10061).code, 12);
  EXPECT_EQ(MailFailureForSocketError(10061).text, "Connection Refused");
  EXPECT_EQ(MailFailureForSocketError(10060).text, "timeout");
  EXPECT_EQ(MailFailureForSocketError(10057).code, 4);
  EXPECT_EQ(MailFailureForSocketError(10055).code, 5);
  EXPECT_EQ(MailFailureForSocketError(11001).code, 16);
  EXPECT_EQ(MailFailureForSocketError(11004).code, 16);
  EXPECT_EQ(MailFailureForSocketError(11005).code, 15);
  EXPECT_EQ(MailFailureForSocketError(10065).text, "Host Unreachable");
  EXPECT_EQ(MailFailureForSocketError(12345).text, "Unknown Error");
}
