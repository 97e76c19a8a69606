#include "online/Registration.h"

#include <algorithm>

#include "online/OnlineServers.h"
#include "online/TransferContext.h"
#include "platform/IniFile.h"
#include "platform/Text.h"

namespace {
constexpr const char* kSection = "REGISTRATION";
}

bool IsRegistered(const TIniFile& ini) {
  for (const char* key : {"FirstName", "SecondName", "EMail", "Serial"})
    if (ini.ReadString(kSection, key, "").empty()) return false;
  return true;
}

bool RegistrationComplete(const TRegistrationInput& input) {
  std::string date = input.BirthDate;
  date.erase(std::remove(date.begin(), date.end(), ' '), date.end());
  return !Trim(input.FirstName).empty() && !Trim(input.SecondName).empty() && !Trim(input.EMail).empty() &&
         !date.empty() && date != ".." && input.Sex >= 0 && input.Country >= 0;
}

std::string CleanRegistrationField(std::string_view text) {
  std::string clean;
  for (char c : text)
    if (c != ';' && c != '>' && c != '\r' && c != '\n') clean += c;
  return clean;
}

TRegistrationRecord BuildRegistrationRecord(const TRegistrationInput& input) {
  TRegistrationRecord record;
  record.FirstName = CleanRegistrationField(input.FirstName);
  record.SecondName = CleanRegistrationField(input.SecondName);
  record.EMail = CleanRegistrationField(input.EMail);
  record.Sex = std::to_string(input.Sex);
  record.BirthDate = CleanRegistrationField(input.BirthDate);
  record.Country = std::to_string(input.Country);
  record.ProductCode = "JQ";
  record.SortKey = "0";
  record.Spare11 = "0";
  return record;
}

std::string SerialFromReply(std::string_view reply) {
  const std::size_t first = reply.find(';');
  if (first == std::string_view::npos) return {};
  const std::string_view rest = reply.substr(first + 1);
  return Trim(rest.substr(0, rest.find(';')));
}

bool SaveRegistration(TIniFile& ini, std::string_view reply, const TRegistrationRecord& record) {
  const std::string serial = SerialFromReply(reply);
  if (serial.empty()) return false;
  ini.WriteString(kSection, "FirstName", record.FirstName);
  ini.WriteString(kSection, "SecondName", record.SecondName);
  ini.WriteString(kSection, "EMail", record.EMail);
  ini.WriteString(kSection, "Serial", serial);
  ini.WriteString(kSection, "Age", record.BirthDate);
  ini.WriteString(kSection, "Sex", record.Sex);
  // Each write is of the whole file: the last one holds them all or failed.
  return ini.WriteString(kSection, "Country", record.Country).Ok();
}

ERegistrationResult RunRegistration(TTransferContext& context, TIniFile& ini, std::string_view cgiServer,
                                    const TRegistrationInput& input) {
  if (IsConnectionError(context.AttemptConnect())) return ERegistrationResult::NoNetwork;
  const TRegistrationRecord record = BuildRegistrationRecord(input);
  TOnlineServers servers;
  servers.CGIServer = std::string(cgiServer);
  TTransferRequest request;
  request.url = RegistrationUrl(servers, JoinRecordFields(record.ToFields()));
  std::string reply;
  if (cgiServer.empty() || !context.Run(std::move(request), {}, &reply)) return ERegistrationResult::Refused;
  return SaveRegistration(ini, reply, record) ? ERegistrationResult::Registered : ERegistrationResult::Refused;
}
