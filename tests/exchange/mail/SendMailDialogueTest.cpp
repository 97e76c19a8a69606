// The client against a scripted server: the replies real servers seldom give.
#include <QElapsedTimer>
#include <QTcpServer>
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "MailClientFixture.h"
#include "support/TestPaths.h"

namespace {
std::string ArgumentOf(const std::string& command) { return command.substr(command.find(' ') + 1); }

// A loopback port that never answers a call: its queue of connections holds
// one, taken here, and the kernel drops the calls that find the queue full.
class TUnansweredPort {
 public:
  TUnansweredPort() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    EXPECT_EQ(bind(listener_, reinterpret_cast<sockaddr*>(&address), length), 0);
    EXPECT_EQ(listen(listener_, 0), 0);
    EXPECT_EQ(getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length), 0);
    port_ = ntohs(address.sin_port);
    filler_ = socket(AF_INET, SOCK_STREAM, 0);
    fcntl(filler_, F_SETFL, O_NONBLOCK);
    connect(filler_, reinterpret_cast<sockaddr*>(&address), length);
  }
  ~TUnansweredPort() {
    close(filler_);
    close(listener_);
  }
  quint16 Port() const { return port_; }

 private:
  int listener_ = -1, filler_ = -1;
  quint16 port_ = 0;
};
}  // namespace

TEST_F(MailClientTest, ContinuationLinesShortRepliesAndBareLineFeeds) {
  TScriptedSmtpServer server("220-welcome\r\n220-to the\r\n220 scripted server\r\n", [](const std::string& command) {
    if (command.rfind("HELO", 0) == 0) return std::string("250-hi\n250\n");
    return TScriptedSmtpServer::StandardReply(command);
  });
  mail->TO_Address = "bob@example.com";
  mail->MailText = {"hello"};
  ASSERT_TRUE(SendTo(server.Port()));
  EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().second);
  ASSERT_EQ(server.commands.size(), 6u);
  EXPECT_EQ(server.commands[0].rfind("HELO ", 0), 0u);
  EXPECT_NE(ArgumentOf(server.commands[0]), "") << "HELO names the client";
  EXPECT_EQ(server.commands[1], "MAIL FROM:<ann@example.com>");
  EXPECT_EQ(server.commands[2], "RCPT TO:<bob@example.com>");
  EXPECT_EQ(server.commands[3], "DATA");
  EXPECT_EQ(server.commands[4], ".");
  EXPECT_EQ(server.commands[5], "QUIT");
  EXPECT_EQ(InfoTexts(kMailInfoAccepted).size(), 1u);
  // After 221 the client hangs up by itself.
  EXPECT_TRUE(WaitUntil([&] { return server.clientHungUp; }, 3000));
  Settle();
  EXPECT_EQ(done, 1);
  // A successful send keeps the recipient lists, the inserted first one included.
  EXPECT_EQ(mail->ListTo, (std::vector<std::string>{"bob@example.com|"}));
}

TEST_F(MailClientTest, RefusedRecipientIsReportedAndTheOthersStillGetTheMail) {
  TScriptedSmtpServer server("220 ready\r\n", [](const std::string& command) {
    if (command == "RCPT TO:<nobody@example.com>") return std::string("550 no such user\r\n");
    return TScriptedSmtpServer::StandardReply(command);
  });
  mail->ListTo = {"bob@example.com|Bob", "nobody@example.com"};
  mail->ListBcc = {"carl@example.com"};
  ASSERT_TRUE(SendTo(server.Port()));
  EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().second);
  EXPECT_EQ(InfoTexts(kMailInfoRecipientRefused), (std::vector<std::string>{"nobody@example.com"}));
  EXPECT_EQ(InfoTexts(kMailInfoRecipientSent),
            (std::vector<std::string>{"bob@example.com", "nobody@example.com", "carl@example.com"}));
  ASSERT_EQ(server.messages.size(), 1u);
  EXPECT_EQ(server.messages[0].find("carl@"), std::string::npos) << "Bcc stays out of the headers";
  EXPECT_NE(server.messages[0].find("To: Bob <bob@example.com>, nobody@example.com\r\n"), std::string::npos);
}

TEST_F(MailClientTest, RefusedSenderEndsTheSendWithOneErrorAndOneDone) {
  TScriptedSmtpServer server("220 ready\r\n", [](const std::string& command) {
    if (command.rfind("MAIL", 0) == 0) return std::string("553 sender refused\r\n");
    return TScriptedSmtpServer::StandardReply(command);
  });
  mail->TO_Address = "bob@example.com";
  mail->Listcc = {"carl@example.com"};
  ASSERT_TRUE(SendTo(server.Port()));
  Settle();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], (std::pair<int, std::string>{13, "Unexpected response: 553 sender refused"}));
  EXPECT_EQ(errorsAtDone, 1) << "the error comes before OnDone";
  EXPECT_EQ(done, 1);
  EXPECT_EQ(mail->LastErrorCode(), 13);
  EXPECT_TRUE(mail->TO_Address.empty());
  EXPECT_TRUE(mail->Listcc.empty());
  EXPECT_FALSE(mail->Busy());
  EXPECT_TRUE(WaitUntil([&] { return server.clientHungUp; }, 3000));
}

TEST_F(MailClientTest, ServerHangingUpBeforeAcceptingIsPrematureDisconnection) {
  TScriptedSmtpServer server("220 ready\r\n", [](const std::string& command) {
    if (command == ".") return std::string(TScriptedSmtpServer::kHangUp);
    return TScriptedSmtpServer::StandardReply(command);
  });
  mail->TO_Address = "bob@example.com";
  ASSERT_TRUE(SendTo(server.Port()));
  Settle();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], (std::pair<int, std::string>{17, "Prematurely Disconnected"}));
  EXPECT_EQ(done, 1);
}

TEST_F(MailClientTest, RefusedConnection) {
  quint16 port;
  {
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    port = closed.serverPort();
  }
  mail->TO_Address = "bob@example.com";
  ASSERT_TRUE(SendTo(port));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], (std::pair<int, std::string>{12, "Connection Refused"}));
  Settle();
  EXPECT_EQ(done, 1);
}

TEST_F(MailClientTest, NoRecipientFailsWithoutConnecting) {
  TScriptedSmtpServer server;
  ASSERT_TRUE(SendTo(server.Port()));
  Settle();
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], (std::pair<int, std::string>{18, "Mail Destination Error"}));
  EXPECT_EQ(done, 1);
  EXPECT_EQ(server.connections, 0);
}

TEST_F(MailClientTest, UnsafeAddressesAndUnreadableFilesFailWithoutConnecting) {
  TScriptedSmtpServer server;
  mail->TO_Address = "bob@example.com>\r\nRCPT TO:<eve@example.com";
  ASSERT_TRUE(SendTo(server.Port()));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors.back().first, 18);

  mail->TO_Address = "bob@example.com";
  mail->FROM_Address = "<ann@example.com>";
  ASSERT_TRUE(SendTo(server.Port()));
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors.back().first, 3);

  TempFolder folder;
  mail->TO_Address = "bob@example.com";
  mail->FROM_Address = "ann@example.com";
  mail->Attachments = {(folder / "missing.jpg").string()};
  ASSERT_TRUE(SendTo(server.Port()));
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors.back().first, 15);
  EXPECT_NE(errors.back().second.find("missing.jpg"), std::string::npos);
  EXPECT_EQ(server.connections, 0);
  EXPECT_EQ(done, 3);
}

TEST_F(MailClientTest, SilentServerTimesOut) {
  TScriptedSmtpServer server("", [](const std::string&) { return std::string(); });
  mail->TO_Address = "bob@example.com";
  mail->TimeoutReply = 1;
  ASSERT_TRUE(SendTo(server.Port(), 10000));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], (std::pair<int, std::string>{8, "Connection timed out"}));
  Settle();
  EXPECT_EQ(done, 1);
}

TEST_F(MailClientTest, ServerFallingSilentMidDialogueTimesOut) {
  TScriptedSmtpServer server("220 ready\r\n", [](const std::string& command) {
    if (command == "DATA") return std::string();
    return TScriptedSmtpServer::StandardReply(command);
  });
  mail->TO_Address = "bob@example.com";
  mail->TimeoutReply = 1;
  ASSERT_TRUE(SendTo(server.Port(), 10000));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].first, 8);
}

TEST_F(MailClientTest, ServerDrippingAReplyIsCutOffByTheReplyTimeOut) {
  std::string greeting;
  for (int i = 0; i < 40; ++i) greeting += "220-still greeting\r\n";
  TScriptedSmtpServer server(greeting + "220 ready\r\n");
  server.dripMs = 20;  // the whole greeting would take some 16 s
  mail->TO_Address = "bob@example.com";
  mail->TimeoutReply = 1;
  ASSERT_TRUE(SendTo(server.Port(), 10000));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].first, 8);
  EXPECT_TRUE(server.commands.empty()) << "the greeting never ended, so nothing was sent";
}

// One byte every 2 s keeps every reply within its own time-out; the deadline of
// the whole send (made short here) still ends it.
TEST_F(MailClientTest, ServerDrippingEveryReplyIsCutOffByTheWholeSendDeadline) {
  TScriptedSmtpServer server;
  server.dripMs = 2000;
  mail->TO_Address = "bob@example.com";
  mail->TimeoutReply = 300;
  mail->DeadlineSeconds = 1;
  ASSERT_TRUE(SendTo(server.Port(), 10000));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], (std::pair<int, std::string>{8, "the mail server did not answer in time"}));
  EXPECT_TRUE(server.commands.empty());
}

// Unset, the connection and the name lookup may take 30 s each (the socket
// alone would wait without end); a server that never answers the call fails at
// that deadline, made 1 s here, well before the whole send's.
TEST_F(MailClientTest, UnansweredConnectionFailsAtItsDeadline) {
  EXPECT_EQ(mail->TimeoutConnect, 30u);
  EXPECT_EQ(mail->TimeoutArp, 30u);
  TUnansweredPort peer;
  mail->TO_Address = "bob@example.com";
  mail->TimeoutConnect = 1;
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(SendTo(peer.Port(), 8000));
  EXPECT_GE(clock.elapsed(), 900);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], (std::pair<int, std::string>{8, "Connection timed out"}));
  EXPECT_TRUE(InfoTexts(kMailInfoConnected).empty());
}

TEST_F(MailClientTest, UnansweredNameLookupFailsAtItsDeadline) {
  mail->Faults.LookupsUnanswered = true;
  mail->TO_Address = "bob@example.com";
  mail->TimeoutArp = 1;
  mail->SetSMTP_Server("mail.example.com");
  QElapsedTimer clock;
  clock.start();
  mail->SetAction(TMailAction::Send_Mail);
  ASSERT_TRUE(WaitUntil([&] { return done == 1; }, 8000));
  EXPECT_GE(clock.elapsed(), 900);
  EXPECT_EQ(InfoTexts(kMailInfoResolving), (std::vector<std::string>{"mail.example.com"}));
  EXPECT_TRUE(InfoTexts(kMailInfoResolved).empty());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], (std::pair<int, std::string>{8, "Connection timed out"}));
}

TEST_F(MailClientTest, SecondSendWhileBusyOnlyReportsBusy) {
  TScriptedSmtpServer server;
  mail->TO_Address = "bob@example.com";
  mail->SetSMTP_Server("127.0.0.1");
  mail->SMTP_Port = server.Port();
  mail->SetAction(TMailAction::Send_Mail);
  mail->SetAction(TMailAction::Send_Mail);
  EXPECT_EQ(InfoTexts(kMailInfoBusy).size(), 1u);
  ASSERT_TRUE(WaitUntil([&] { return done == 1; }, 15000));
  Settle();
  EXPECT_EQ(done, 1);
  EXPECT_EQ(server.connections, 1);
  EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().second);
}

TEST_F(MailClientTest, CancelEndsTheSendQuietlyOnceEvenWhenIdle) {
  mail->TO_Address = "bob@example.com";
  mail->ListTo = {"x@example.com"};
  mail->SetAction(TMailAction::Cancel_SendMail);
  EXPECT_TRUE(mail->TO_Address.empty());
  EXPECT_TRUE(mail->ListTo.empty());
  ASSERT_TRUE(WaitUntil([&] { return done == 1; }, 3000));

  TScriptedSmtpServer server("220 ready\r\n", [](const std::string& command) {
    if (command.rfind("RCPT", 0) == 0) return std::string();  // keeps the send hanging
    return TScriptedSmtpServer::StandardReply(command);
  });
  mail->TO_Address = "bob@example.com";
  mail->SetSMTP_Server("127.0.0.1");
  mail->SMTP_Port = server.Port();
  mail->SetAction(TMailAction::Send_Mail);
  ASSERT_TRUE(WaitUntil([&] { return server.commands.size() == 3; }, 5000));
  mail->SetAction(TMailAction::Cancel_SendMail);
  ASSERT_TRUE(WaitUntil([&] { return done == 2; }, 3000));
  Settle();
  EXPECT_EQ(done, 2);
  EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().second);
  EXPECT_EQ(mail->LastErrorCode(), 14);
  EXPECT_TRUE(WaitUntil([&] { return server.clientHungUp; }, 3000));
}

TEST_F(MailClientTest, KeptConnectionCarriesTheNextMail) {
  TScriptedSmtpServer server;
  mail->KeepConnectionOpen = true;
  mail->TO_Address = "bob@example.com";
  mail->Subject = "first";
  ASSERT_TRUE(SendTo(server.Port()));
  EXPECT_FALSE(server.clientHungUp);
  mail->TO_Address = "";
  mail->ListTo = {"carl@example.com"};
  mail->Subject = "second";
  mail->SetAction(TMailAction::Send_Mail);
  ASSERT_TRUE(WaitUntil([&] { return done == 2; }, 15000));
  EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().second);
  EXPECT_EQ(server.connections, 1);
  EXPECT_EQ(server.commands,
            (std::vector<std::string>{server.commands[0], "MAIL FROM:<ann@example.com>", "RCPT TO:<bob@example.com>",
                                      "DATA", ".", "MAIL FROM:<ann@example.com>", "RCPT TO:<carl@example.com>", "DATA",
                                      "."}));
  ASSERT_EQ(server.messages.size(), 2u);
  EXPECT_NE(server.messages[1].find("Subject: second\r\n"), std::string::npos);
}

TEST_F(MailClientTest, NetworkThatWillNotStartIsReported) {
  TScriptedSmtpServer server;
  mail->Faults.StartFails = true;
  mail->TO_Address = "bob@example.com";
  ASSERT_TRUE(SendTo(server.Port()));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], (std::pair<int, std::string>{1, "Winsock not initiliazed"}));
  EXPECT_EQ(server.connections, 0);
  EXPECT_FALSE(mail->WinsockStarted());
}

TEST_F(MailClientTest, HostNamesAreLookedUpEvenWhenTheyStartWithADigit) {
  mail->SetSMTP_Server("127.0.0.1");
  EXPECT_TRUE(mail->ServerIsAddress());
  mail->SetSMTP_Server("::1");
  EXPECT_TRUE(mail->ServerIsAddress());
  mail->SetSMTP_Server("3com.example");
  EXPECT_FALSE(mail->ServerIsAddress());
  mail->SetSMTP_Server("1.2.3.4.example");
  EXPECT_FALSE(mail->ServerIsAddress());
  EXPECT_EQ(mail->SMTP_Server(), "1.2.3.4.example");

  TScriptedSmtpServer server;
  mail->SetSMTP_Server("localhost");
  mail->SMTP_Port = server.Port();
  mail->TO_Address = "bob@example.com";
  mail->SetAction(TMailAction::Send_Mail);
  ASSERT_TRUE(WaitUntil([&] { return done == 1; }, 15000));
  EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().second);
  EXPECT_EQ(InfoTexts(kMailInfoResolving), (std::vector<std::string>{"localhost"}));
  EXPECT_EQ(InfoTexts(kMailInfoResolved), (std::vector<std::string>{"127.0.0.1"}));
}

TEST_F(MailClientTest, AttachmentTableHoldsAtMost256Records) {
  TMailAttachment attachment;
  for (int i = 0; i < 257; ++i) {
    attachment.path = "/tmp/file" + std::to_string(i);
    mail->AddAttachment(attachment);
  }
  EXPECT_EQ(mail->Attachments.size(), 256u);
  ASSERT_NE(mail->AttachmentRecord(256), nullptr);
  EXPECT_EQ(mail->AttachmentRecord(256)->path, "/tmp/file255");
  EXPECT_EQ(mail->AttachmentRecord(257), nullptr);
  mail->ClearAttachments();
  EXPECT_TRUE(mail->Attachments.empty());
  EXPECT_EQ(mail->AttachmentRecord(1), nullptr);
  EXPECT_EQ(mail->Version(), "SendMail 1.3.9");
  EXPECT_EQ(mail->Action(), TMailAction::None);
}
