#include "exchange/DesktopMail.h"

fs::path MapiProgram() { return FindProgramOnPath("xdg-email"); }

bool IsMapiAvailable() { return !MapiProgram().empty(); }

std::vector<std::string> MapiArguments(const TMapiMessage& message) {
  std::vector<std::string> arguments{"--utf8", "--subject", message.Subject};
  if (!message.NoteText.empty()) arguments.insert(arguments.end(), {"--body", message.NoteText});
  if (!message.File.empty()) arguments.insert(arguments.end(), {"--attach", message.File.string()});
  for (const std::string& recipient : message.Recipients)
    if (!recipient.empty() && recipient.front() != '-') arguments.push_back(recipient);
  return arguments;
}

int SendMapiMail(const TMapiMessage& message, IProcessRunner& runner, int handOverMs) {
  const fs::path program = MapiProgram();
  if (program.empty()) return kMapiFailure;
  const TProcessResult result = runner.Run(program, MapiArguments(message), handOverMs);
  if (!result.Started) return kMapiFailure;
  return result.TimedOut || result.ExitCode == 0 ? kMapiSuccess : kMapiFailure;
}
