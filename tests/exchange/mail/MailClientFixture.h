#pragma once
// A SendMail under test with every event recorded.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ScriptedSmtpServer.h"
#include "exchange/mail/SendMail.h"

class MailClientTest : public ::testing::Test {
 protected:
  std::unique_ptr<SendMail> mail = std::make_unique<SendMail>();
  std::vector<std::pair<int, std::string>> infos;
  std::vector<std::pair<int, std::string>> errors;
  int done = 0;
  int errorsAtDone = -1;

  void SetUp() override {
    mail->OnMailInfo = [this](SendMail*, SendMailInfo info, const std::string& text) {
      if (info != kMailInfoSending) infos.emplace_back(info, text);
    };
    mail->OnMailError = [this](SendMail* sender, SendMailError error, const std::string& text) {
      // The send must already be marked aborted and the connection closed.
      EXPECT_TRUE(sender->ListTo.empty());
      EXPECT_FALSE(sender->HasSocket());
      errors.emplace_back(error, text);
    };
    mail->OnDone = [this](SendMail*) {
      ++done;
      errorsAtDone = static_cast<int>(errors.size());
    };
    mail->FROM_Address = "ann@example.com";
    mail->FROM_Name = "Ann";
    mail->TimeoutReply = 10;
  }

  // Sends through `server` and waits for the end; false if OnDone never came.
  bool SendTo(quint16 port, int milliseconds = 15000) {
    mail->SetSMTP_Server("127.0.0.1");
    mail->SMTP_Port = port;
    const int before = done;
    mail->SetAction(TMailAction::Send_Mail);
    return WaitUntil([&] { return done > before; }, milliseconds);
  }

  // Lets queued events run, to see that nothing more arrives.
  static void Settle() { WaitUntil([] { return false; }, 200); }

  std::vector<std::string> InfoTexts(int code) const {
    std::vector<std::string> texts;
    for (const auto& [info, text] : infos)
      if (info == code) texts.push_back(text);
    return texts;
  }
};
