#pragma once
// What a real mail reader makes of a received message: tests/support/mail/read_mail.py
// parses it with Python's email package (default policy) and this collects the result.
#include <map>
#include <string>

#include "support/TestPaths.h"

struct TReceivedMail {
  bool ok = false;                          // the reader ran and answered
  std::map<std::string, std::string> values;  // "header.Subject", "body", "attachment.0.data" ...
  std::string Value(const std::string& key) const;
  bool Has(const std::string& key) const { return values.count(key) != 0; }
};

TReceivedMail ReadReceivedMail(const fs::path& emlFile);

// Reproducible bytes of every value, for attachments.
std::string RandomBytes(std::size_t count, unsigned seed);
// Text with CR LF line breaks turned into LF, as text read back is compared.
std::string WithUnixLineBreaks(std::string text);
