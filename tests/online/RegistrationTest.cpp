// The online account against the stand-in registration script: what is sent,
// what is stored, and when nothing may be stored.
#include <gtest/gtest.h>

#include "online/OnlineRecords.h"
#include "online/OnlineServers.h"
#include "online/Registration.h"
#include "online/TransferContext.h"
#include "platform/IniFile.h"
#include "support/StandInPublisher.h"
#include "support/TestPaths.h"

namespace {

class Registration : public ::testing::Test {
 protected:
  ERegistrationResult Register(const TRegistrationInput& input) {
    TTransferContext context(ETransferUse::Registration, queue_, [this] { return connectResult_; });
    context.SetTimeouts(5, 5);
    return RunRegistration(context, ini_, publisher_.CgiServer(), input);
  }

  TRegistrationInput Anna() { return {"Anna", "Smith", "anna@example.com", "01.02.1990", 1, 3}; }

  TempFolder temp_;
  TIniFile ini_{temp_ / "Tressary.ini"};
  TStandInPublisher publisher_;
  TTaskQueue queue_;
  int connectResult_ = 0;
};

TEST_F(Registration, TheIssuedSerialIsStoredWithTheTypedValues) {
  TRegistrationInput input = Anna();
  input.FirstName = "Anna Maria;x>\r\n";
  input.EMail = "anna+1@example.com&kztype=5";
  EXPECT_FALSE(IsRegistered(ini_));
  ASSERT_EQ(Register(input), ERegistrationResult::Registered);

  ASSERT_EQ(publisher_.Registrations().size(), 1u);
  EXPECT_EQ(publisher_.Registrations()[0],
            "Anna Mariax;Smith;anna+1@example.com&kztype=5;;;1;01.02.1990;3;JQ;0;0;")
      << "delimiters and line breaks leave the fields; the rest arrives as typed";
  const std::string target = publisher_.Server().Requests().back().target;
  EXPECT_EQ(target.find(' '), std::string::npos) << target;
  EXPECT_EQ(publisher_.Server().Requests().back().Query("kztype"), "0") << "the e-mail cannot add parameters";

  const TIniFile stored(temp_ / "Tressary.ini");
  EXPECT_TRUE(IsRegistered(stored));
  EXPECT_EQ(stored.ReadString("Registration", "Serial", ""), "12345");
  EXPECT_EQ(stored.ReadString("Registration", "FirstName", ""), "Anna Mariax");
  EXPECT_EQ(stored.ReadString("Registration", "Age", ""), "01.02.1990");
  EXPECT_EQ(stored.ReadString("Registration", "Sex", ""), "1");
  EXPECT_EQ(stored.ReadString("Registration", "Country", ""), "3");
  EXPECT_EQ(BuildUserString(stored), "Anna Mariax;Smith;anna+1@example.com&kztype=5;12345;1;01.02.1990;3;");

  ini_.DeleteKey("REGISTRATION", "Serial");
  EXPECT_FALSE(IsRegistered(ini_)) << "without its serial the user registers again";
}

TEST_F(Registration, NoSerialNoAccount) {
  for (const std::string serial : {"", "   "}) {
    publisher_.SetSerial(serial);
    EXPECT_EQ(Register(Anna()), ERegistrationResult::Refused) << "serial '" << serial << "'";
    EXPECT_FALSE(ini_.SectionExists("REGISTRATION")) << "nothing written";
  }
  publisher_.Server().Route("/cgi-bin/kzserver", THttpReply::Text(200, "Internal Error;77;"));
  EXPECT_EQ(Register(Anna()), ERegistrationResult::Refused);
  EXPECT_FALSE(ini_.SectionExists("REGISTRATION"));
  EXPECT_EQ(RunRegistration(*std::make_unique<TTransferContext>(ETransferUse::Registration, queue_), ini_, "", Anna()),
            ERegistrationResult::Refused)
      << "without a script there is no account";
  connectResult_ = kInternetErrorCannotConnect;
  EXPECT_EQ(Register(Anna()), ERegistrationResult::NoNetwork);
}

TEST(RegistrationInput, TheStartButtonWaitsForEveryField) {
  TRegistrationInput input{"Anna", "Smith", "anna@example.com", "01.02.1990", 0, 0};
  EXPECT_TRUE(RegistrationComplete(input));
  for (auto change : std::vector<void (*)(TRegistrationInput&)>{
           [](TRegistrationInput& i) { i.BirthDate = "  .  .    "; },
           [](TRegistrationInput& i) { i.FirstName = " "; }, [](TRegistrationInput& i) { i.EMail.clear(); },
           [](TRegistrationInput& i) { i.Sex = -1; }, [](TRegistrationInput& i) { i.Country = -1; }}) {
    TRegistrationInput changed = input;
    change(changed);
    EXPECT_FALSE(RegistrationComplete(changed));
  }
  EXPECT_EQ(SerialFromReply("Welcome;12345;"), "12345");
  EXPECT_EQ(SerialFromReply("Welcome; 678 \r\n"), "678");
  EXPECT_EQ(SerialFromReply("Welcome"), "");
}

}  // namespace
