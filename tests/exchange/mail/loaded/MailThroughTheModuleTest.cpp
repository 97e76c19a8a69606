// The mail client in a program that does not link the network module but finds
// it beside itself, as the installed program does: loaded by the first send,
// it looks the server up, connects and carries the message.
#include <fstream>
#include <iterator>

#include "MailClientFixture.h"

namespace {
bool NetworkModuleLoaded() {
  std::ifstream maps("/proc/self/maps");
  const std::string text{std::istreambuf_iterator<char>(maps), {}};
  return text.find("libtressary-network.so") != std::string::npos;
}
}  // namespace

TEST_F(MailClientTest, TheNetworkModuleLoadsWithTheFirstSendAndCarriesIt) {
  TScriptedSmtpServer server;
  mail->SetSMTP_Server("localhost");
  mail->SMTP_Port = server.Port();
  mail->TO_Address = "bob@example.com";
  mail->MailText = {"Hello through the module"};
  EXPECT_FALSE(NetworkModuleLoaded());
  mail->SetAction(TMailAction::Send_Mail);
  ASSERT_TRUE(WaitUntil([&] { return done == 1; }, 15000));
  EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors.front().second);
  EXPECT_TRUE(NetworkModuleLoaded());
  EXPECT_EQ(InfoTexts(kMailInfoResolved), (std::vector<std::string>{"127.0.0.1"}));
  ASSERT_EQ(server.messages.size(), 1u);
  EXPECT_NE(server.messages[0].find("Hello through the module"), std::string::npos);
}
