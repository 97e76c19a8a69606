#pragma once
// The text of a mail between DATA and the closing ".": headers, body and MIME
// attachments, handed out piece by piece so that a sender can write it as the
// connection drains and no attachment is ever held whole in memory. The pieces
// are not yet dot-stuffed (TDotStuffer does that).
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/MailEncoders.h"
#include "exchange/MailHeaders.h"
#include "exchange/SmtpDialogue.h"

namespace fs = std::filesystem;

enum TAttachmentEncoding : std::uint8_t {
  aeAutomatic = 0,
  aeBase64 = 1,
  aeQuotedPrintable = 2,
  aePlainText = 3,
  aeUUEncode = 4,
};

struct TMailAttachment {
  std::string name;  // announced in the headers; empty = the file name of `path`
  std::uint8_t encoding = aeAutomatic;
  std::string contentType;  // empty = "application/octet-stream"
  std::string disposition;  // empty = "attachment"
  std::string description;  // empty = no Content-Description line
  std::string path;
};

inline constexpr std::string_view kDefaultContentType = "application/octet-stream";
inline constexpr std::string_view kDefaultDisposition = "attachment";

// Clean text has only tabs, printable ASCII and line breaks (LF or CR LF) and no
// line longer than 998 characters: it can travel as it is.
enum class TFileKind { Unreadable, Text, Binary };
TFileKind ClassifyFile(const fs::path& path);
// The automatic encoding: plain text for clean text, base64 for anything else.
std::uint8_t ChooseEncoding(const fs::path& path);

struct TMailContent {
  TMailRecipient from;
  std::vector<TMailRecipient> to;
  std::vector<TMailRecipient> cc;
  std::string subject;
  std::vector<std::string> text;     // body lines
  std::vector<std::string> headers;  // extra "Name: value" lines
  // Every attachment with a chosen encoding and its defaults filled in.
  std::vector<TMailAttachment> attachments;
  // Extra body text, asked for until it yields "".
  std::function<std::string()> feed;
  std::string boundary;
  std::string date;
  std::string messageId;
};

class TMimeWriter {
 public:
  using TInfoSink = std::function<void(SendMailInfo, const std::string&)>;
  // Blocks read from files and the body, by encoding.
  static constexpr std::size_t kBodyBlock = 2048;
  static constexpr std::size_t kBase64Block = 2280;
  static constexpr std::size_t kUUBlock = 1800;
  static constexpr std::size_t kTextBlock = 2048;

  TMimeWriter(TMailContent content, TInfoSink info);

  // The next piece of the message; false once it is complete or has failed.
  bool Next(std::string& chunk);
  // Why the writing failed (an attachment that cannot be read); "" while it has not.
  const std::string& Error() const { return error_; }
  // The header block, up to and including the empty line that ends it.
  std::string Header() const;

 private:
  enum class EStage { Header, Feed, Body, PartStart, PartData, Closing, Done };
  void Info(SendMailInfo info, const std::string& text) const;
  std::string Delimiter();
  bool BodyBlock(std::string& chunk);
  bool StartPart(std::string& chunk);
  bool PartBlock(std::string& chunk);
  bool Fail(const std::string& text);

  TMailContent content_;
  TInfoSink info_;
  EStage stage_ = EStage::Header;
  bool multipart_ = false;
  bool bodyQuoted_ = false;
  bool bodyEightBit_ = false;
  bool atFirstPart_ = true;
  std::string bodyText_;
  std::size_t bodyDone_ = 0;
  std::uint64_t fedTotal_ = 0;
  TQuotedPrintableEncoder bodyEncoder_{true};
  // The attachment being written.
  std::size_t part_ = 0;
  std::uint8_t partEncoding_ = aeBase64;
  bool partQuoted_ = false;
  std::ifstream file_;
  std::uint64_t partDone_ = 0;
  TBase64Encoder base64_;
  TQuotedPrintableEncoder quoted_{false};
  std::string error_;
};
