#pragma once
// Handing a mail with one attachment to the desktop's mail program: xdg-email
// opens the user's mail client with the message ready for the user to address
// and send.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace fs = std::filesystem;

// What the mail program gets: no recipients unless given (its own window asks).
struct TMapiMessage {
  std::string Subject;
  std::string NoteText;
  std::vector<std::string> Recipients;
  fs::path File;
};

inline constexpr int kMapiSuccess = 0;
inline constexpr int kMapiUserAbort = 1;
inline constexpr int kMapiFailure = 2;

// The mail program stand-in, xdg-email on PATH.
fs::path MapiProgram();
// True when xdg-email is on PATH.
bool IsMapiAvailable();
// xdg-email's arguments: "--subject", "--body" (when there is a text), "--attach"
// (when there is a file), then the recipients. A recipient that would read as an
// option is left out.
std::vector<std::string> MapiArguments(const TMapiMessage& message);
// Runs xdg-email with the message: kMapiSuccess when it ended well, or is still
// running after `handOverMs` (the mail client it started has the message then),
// kMapiFailure when it is missing, did not start or failed.
int SendMapiMail(const TMapiMessage& message, IProcessRunner& runner, int handOverMs = 20000);
