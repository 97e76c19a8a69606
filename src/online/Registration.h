#pragma once
// The online account: what the registration window sends, what it stores in
// the settings ini section "REGISTRATION", and the test the gated services make.
#include <string>
#include <string_view>

#include "online/OnlineRecords.h"

class TIniFile;
class TTransferContext;

// True when "FirstName", "SecondName", "EMail" and "Serial" of "REGISTRATION" are
// all present and not empty.
bool IsRegistered(const TIniFile& ini);

// What the user typed and chose in the registration window.
struct TRegistrationInput {
  std::string FirstName, SecondName, EMail;
  std::string BirthDate;  // as the date edit shows it: "dd.mm.yyyy", blanks where not typed
  int Sex = -1;           // item indexes; -1 when nothing is chosen
  int Country = -1;
};

// The start button shows only when the three texts are typed, the birth date is
// not the empty mask, and both lists have a choice.
bool RegistrationComplete(const TRegistrationInput& input);

// A typed value as it can travel in a record and a settings value: ";" and ">"
// (record delimiters) and line breaks taken out.
std::string CleanRegistrationField(std::string_view text);

// The record sent for registration (fields cleaned).
TRegistrationRecord BuildRegistrationRecord(const TRegistrationInput& input);

// The user number of a reply: its second ";" field, trimmed.
std::string SerialFromReply(std::string_view reply);

// Stores the account values when the reply carries a serial; false (and nothing
// written) when it does not.
bool SaveRegistration(TIniFile& ini, std::string_view reply, const TRegistrationRecord& record);

enum class ERegistrationResult { NoNetwork, Registered, Refused };
// Sends the registration to `cgiServer` and stores the account on success.
ERegistrationResult RunRegistration(TTransferContext& context, TIniFile& ini, std::string_view cgiServer,
                                    const TRegistrationInput& input);
