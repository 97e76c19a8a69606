#pragma once
// Header fields of a mail: encoded words, mailboxes, folding, and the values the
// client makes up itself (date, message id, boundary, its own name in HELO).
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A recipient entry of the lists: the address, "|" and an optional display name.
struct TMailRecipient {
  std::string address;
  std::string name;
};

// Removes CR and LF: no value may start a header line or a command of its own.
std::string StripLineBreaks(std::string_view text);
// Splits "address|name": the address is trimmed, the name keeps at most 999
// characters; both lose their line breaks.
TMailRecipient ParseRecipient(std::string_view entry);
// An address fit for "MAIL FROM:<...>" and "RCPT TO:<...>": at most 254
// printable ASCII characters without angle brackets or blanks (plain SMTP
// carries no 8-bit addresses). An empty sender is the null reverse path.
bool IsAcceptableAddress(std::string_view address);

// A text as it may stand in a header: unchanged when it is printable ASCII,
// else as UTF-8 encoded words of the Q form (RFC 2047), each at most 75
// characters, separated by blanks so the line can be folded between them.
std::string EncodeHeaderWord(std::string_view text);
// "name <address>", the name encoded or, when it holds specials, quoted;
// the bare address without a name.
std::string FormatMailbox(const TMailRecipient& mailbox);
// A header line folded at blanks into lines of at most 78 characters where the
// words allow it, joined with CR LF and a blank; never cut.
std::string FoldHeaderLine(std::string_view line);
// An extra header line "Name: value": the value encoded when needed, the line
// folded; nullopt when the name is not a valid field name.
std::optional<std::string> EncodeHeaderLine(std::string_view line);
// A MIME parameter: name="value" with quoting, or name*=utf-8''%XX for
// non-ASCII values, split into continuations name*0*=, name*1*= ... when
// long (RFC 2231).
std::string MimeParameter(std::string_view name, std::string_view value);

// "Mon, 07 Dec 2026 08:04:08 +0100" for `when` in local time.
std::string MailDate(std::time_t when);
// "<unique@domain>" with the domain of the sender's address when it has a usable one.
std::string MakeMessageId(std::string_view unique, std::string_view fromAddress);
// Letters and digits from the system's random source.
std::string RandomToken(std::size_t length);
// The name the client gives in HELO: the host name when it is a dotted domain
// name, else the local address as an address literal ("[127.0.0.1]", "[IPv6:...]").
std::string HeloName(std::string_view hostName, std::string_view localAddress);
