// The mail client where the network module is neither linked in (as in every
// other suite) nor beside the program, as after a damaged install.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>
#include <vector>

#include "exchange/mail/SendMail.h"

TEST(MailWithoutTheNetworkModule, ASendFailsNamingTheModuleAndEnds) {
  int argc = 1;
  char name[] = "mail";
  char* argv[] = {name, nullptr};
  QCoreApplication app(argc, argv);
  SendMail mail;
  std::vector<std::string> errors;
  int done = 0;
  mail.OnMailError = [&](SendMail*, SendMailError error, const std::string& text) {
    EXPECT_EQ(error, kMailErrorNotStarted);
    errors.push_back(text);
  };
  mail.OnDone = [&](SendMail*) { ++done; };
  mail.SetSMTP_Server("127.0.0.1");
  mail.FROM_Address = "ann@example.com";
  mail.TO_Address = "bob@example.com";
  mail.SetAction(TMailAction::Send_Mail);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_NE(errors[0].find("libtressary-network.so is missing"), std::string::npos) << errors[0];
  QCoreApplication::processEvents();
  EXPECT_EQ(done, 1);
  EXPECT_FALSE(mail.Busy());
}
