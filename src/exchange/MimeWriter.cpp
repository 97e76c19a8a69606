#include "exchange/MimeWriter.h"

#include <algorithm>
#include <utility>

#include "platform/Text.h"

namespace {
constexpr std::size_t kMaxLineLength = 998;
// The longest type or subtype name registered types may have (RFC 6838), and
// the longest token taken as a disposition.
constexpr std::size_t kMaxTypeName = 127;
// An announced attachment name is cut to what file systems keep, so that its
// continuations stay few and the uuencoded part's "begin" line stays short.
constexpr std::size_t kMaxAttachmentName = 255;
constexpr std::size_t kMaxKeptExtension = 16;
constexpr std::string_view kEndOfLine = "\r\n";

bool IsTokenChar(unsigned char c) {
  return c > ' ' && c < 127 && std::string_view("()<>@,;:\\\"/[]?=").find(static_cast<char>(c)) == std::string_view::npos;
}

// "type/subtype" as given, or the default for anything else.
std::string CleanContentType(std::string_view text) {
  const std::string type = Trim(StripLineBreaks(text));
  const std::size_t slash = type.find('/');
  const bool valid = slash != std::string::npos && slash > 0 && slash + 1 < type.size() &&
                     slash <= kMaxTypeName && type.size() - slash - 1 <= kMaxTypeName &&
                     std::all_of(type.begin(), type.end(),
                                 [](unsigned char c) { return c == '/' || IsTokenChar(c); }) &&
                     type.find('/', slash + 1) == std::string::npos;
  return valid ? type : std::string(kDefaultContentType);
}

std::string CleanDisposition(std::string_view text) {
  const std::string disposition = Trim(StripLineBreaks(text));
  const bool valid = !disposition.empty() && disposition.size() <= kMaxTypeName &&
                     std::all_of(disposition.begin(), disposition.end(),
                                                         [](unsigned char c) { return IsTokenChar(c); });
  return valid ? disposition : std::string(kDefaultDisposition);
}

std::string FileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

// Cut at a character boundary: the bytes before `end` less a partial UTF-8 sequence.
std::size_t CharacterBoundary(std::string_view text, std::size_t end) {
  std::size_t cut = std::min(end, text.size());
  while (cut > 0 && cut < text.size() && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

// At most kMaxAttachmentName bytes; a short extension survives the cut.
std::string CappedName(const std::string& name) {
  if (name.size() <= kMaxAttachmentName) return name;
  const std::size_t dot = name.rfind('.');
  const std::string extension =
      dot != std::string::npos && name.size() - dot <= kMaxKeptExtension ? name.substr(dot) : std::string();
  return name.substr(0, CharacterBoundary(name, kMaxAttachmentName - extension.size())) + extension;
}

// The uuencoded part's announced name: the extension replaced by ".uue".
std::string UUName(const std::string& name) {
  const std::size_t dot = name.rfind('.');
  return (dot == std::string::npos ? name : name.substr(0, dot)) + ".uue";
}

std::string HeaderLine(std::string_view line) { return FoldHeaderLine(line) + std::string(kEndOfLine); }

std::string AddressList(std::string_view field, const std::vector<TMailRecipient>& list) {
  std::string line(field);
  for (std::size_t i = 0; i < list.size(); ++i) line += (i == 0 ? " " : ", ") + FormatMailbox(list[i]);
  return HeaderLine(line);
}
}  // namespace

TFileKind ClassifyFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return TFileKind::Unreadable;
  char block[TMimeWriter::kTextBlock];
  std::size_t lineLength = 0;
  bool afterCr = false;
  bool text = true;
  while (text && file) {
    file.read(block, sizeof block);
    const std::streamsize count = file.gcount();
    for (std::streamsize i = 0; i < count && text; ++i) {
      const auto c = static_cast<unsigned char>(block[i]);
      if (afterCr && c != '\n') text = false;
      afterCr = c == '\r';
      if (c == '\n')
        lineLength = 0;
      else if (c != '\r' && (!(c == '\t' || (c >= 32 && c < 127)) || ++lineLength > kMaxLineLength))
        text = false;
    }
  }
  if (file.bad()) return TFileKind::Unreadable;
  return text && !afterCr ? TFileKind::Text : TFileKind::Binary;
}

std::uint8_t ChooseEncoding(const fs::path& path) {
  return ClassifyFile(path) == TFileKind::Text ? aePlainText : aeBase64;
}

TMimeWriter::TMimeWriter(TMailContent content, TInfoSink info)
    : content_(std::move(content)), info_(std::move(info)) {
  multipart_ = !content_.attachments.empty();
  for (const std::string& line : content_.text) {
    bodyText_ += line;
    bodyText_ += kEndOfLine;
    if (line.size() > kMaxLineLength) bodyQuoted_ = true;
    for (unsigned char c : line) {
      if (c < 32 || c >= 127) bodyQuoted_ = true;
      if (c >= 128) bodyEightBit_ = true;
    }
  }
}

void TMimeWriter::Info(SendMailInfo info, const std::string& text) const {
  if (info_) info_(info, text);
}

std::string TMimeWriter::Header() const {
  std::string header = HeaderLine("From: " + FormatMailbox(content_.from));
  if (!content_.to.empty()) header += AddressList("To:", content_.to);
  if (!content_.cc.empty()) header += AddressList("cc:", content_.cc);
  if (!content_.subject.empty())
    header += HeaderLine("Subject: " + EncodeHeaderWord(StripLineBreaks(content_.subject)));
  header += HeaderLine("Date: " + content_.date);
  header += HeaderLine("Message-ID: " + content_.messageId);
  header += HeaderLine("Mime-Version: 1.0");
  const std::string textType = std::string("Content-Type: text/plain; charset=\"") +
                               (bodyEightBit_ ? "utf-8" : "us-ascii") + "\"\r\n";
  const std::string quotedLine = bodyQuoted_ ? "Content-Transfer-Encoding: quoted-printable\r\n" : "";
  if (multipart_) {
    header += HeaderLine("Content-Type: multipart/mixed; boundary=\"" + content_.boundary + "\"");
  } else {
    header += textType + quotedLine;
  }
  for (const std::string& line : content_.headers)
    if (auto encoded = EncodeHeaderLine(line)) header += *encoded + std::string(kEndOfLine);
  header += kEndOfLine;
  if (multipart_ && !content_.text.empty()) {
    header += "--" + content_.boundary + "\r\n" + textType + quotedLine + std::string(kEndOfLine);
  }
  return header;
}

std::string TMimeWriter::Delimiter() {
  // The line break before a delimiter belongs to it, so the part before keeps
  // its own last line break.
  const std::string delimiter = (atFirstPart_ ? "--" : "\r\n--") + content_.boundary;
  atFirstPart_ = false;
  return delimiter;
}

bool TMimeWriter::Fail(const std::string& text) {
  error_ = text;
  stage_ = EStage::Done;
  file_.close();
  return false;
}

bool TMimeWriter::Next(std::string& chunk) {
  chunk.clear();
  while (true) {
    switch (stage_) {
      case EStage::Header:
        chunk = Header();
        atFirstPart_ = content_.text.empty();
        stage_ = EStage::Feed;
        return true;
      case EStage::Feed:
        if (content_.feed) {
          chunk = content_.feed();
          if (!chunk.empty()) {
            atFirstPart_ = false;
            fedTotal_ += chunk.size();
            Info(kMailInfoBodyProgress, std::to_string(fedTotal_));
            return true;
          }
        }
        stage_ = EStage::Body;
        if (!bodyText_.empty()) Info(kMailInfoBodySize, std::to_string(bodyText_.size()));
        break;
      case EStage::Body:
        if (bodyDone_ < bodyText_.size()) return BodyBlock(chunk);
        stage_ = multipart_ ? EStage::PartStart : EStage::Done;
        break;
      case EStage::PartStart:
        if (part_ < content_.attachments.size()) return StartPart(chunk);
        stage_ = EStage::Closing;
        break;
      case EStage::PartData:
        return PartBlock(chunk);
      case EStage::Closing:
        chunk = Delimiter() + "--\r\n";
        stage_ = EStage::Done;
        return true;
      case EStage::Done:
        return false;
    }
  }
}

bool TMimeWriter::BodyBlock(std::string& chunk) {
  const std::string_view block = std::string_view(bodyText_).substr(bodyDone_, kBodyBlock);
  bodyDone_ += block.size();
  if (bodyQuoted_) {
    bodyEncoder_.Add(block, chunk);
    if (bodyDone_ == bodyText_.size()) bodyEncoder_.Finish(chunk);
  } else {
    chunk.assign(block);
  }
  Info(kMailInfoBodyProgress, std::to_string(bodyDone_));
  return true;
}

bool TMimeWriter::StartPart(std::string& chunk) {
  const TMailAttachment& attachment = content_.attachments[part_];
  Info(kMailInfoAttachment, attachment.path);
  partEncoding_ = attachment.encoding;
  partQuoted_ = partEncoding_ == aeQuotedPrintable;
  if (partEncoding_ == aePlainText) {
    const TFileKind kind = ClassifyFile(attachment.path);
    if (kind == TFileKind::Unreadable) return Fail("Cannot read file " + attachment.path);
    // Text that cannot travel as it is goes quoted-printable with its lines kept.
    partQuoted_ = kind != TFileKind::Text;
  }
  file_ = std::ifstream(attachment.path, std::ios::binary);
  if (!file_) return Fail("Cannot read file " + attachment.path);
  partDone_ = 0;
  base64_ = TBase64Encoder();
  quoted_ = TQuotedPrintableEncoder(partEncoding_ == aePlainText);

  // File names may hold line breaks on this system; no header or "begin" line may.
  const std::string fileName = CappedName(StripLineBreaks(FileNameOf(attachment.path)));
  const std::string name = attachment.name.empty() ? fileName : CappedName(StripLineBreaks(attachment.name));
  const bool uu = partEncoding_ == aeUUEncode;
  const std::string type = uu ? std::string(kDefaultContentType) : CleanContentType(attachment.contentType);
  chunk = Delimiter() + "\r\n";
  chunk += HeaderLine("Content-Type: " + type + "; " + MimeParameter("name", uu ? UUName(name) : name));
  if (partQuoted_) chunk += "Content-Transfer-Encoding: quoted-printable\r\n";
  if (partEncoding_ == aeBase64) chunk += "Content-Transfer-Encoding: base64\r\n";
  if (!attachment.disposition.empty())
    chunk += HeaderLine("Content-Disposition: " + CleanDisposition(attachment.disposition) + "; " +
                        MimeParameter("filename", uu ? UUName(name) : fileName));
  if (!attachment.description.empty())
    chunk += HeaderLine("Content-Description: " + EncodeHeaderWord(StripLineBreaks(attachment.description)));
  chunk += kEndOfLine;
  if (uu) chunk += std::string(61, '=') + "\r\nbegin 666 " + name + "\r\n";
  if (partEncoding_ == aeBase64) {
    std::error_code error;
    const auto size = fs::file_size(attachment.path, error);
    Info(kMailInfoBase64Size, std::to_string(error ? 0 : size));
  }
  stage_ = EStage::PartData;
  return true;
}

bool TMimeWriter::PartBlock(std::string& chunk) {
  const std::size_t blockSize = partEncoding_ == aeBase64   ? kBase64Block
                                : partEncoding_ == aeUUEncode ? kUUBlock
                                                              : kTextBlock;
  std::string block(blockSize, '\0');
  file_.read(block.data(), static_cast<std::streamsize>(blockSize));
  if (file_.bad()) return Fail("Cannot read file " + content_.attachments[part_].path);
  block.resize(static_cast<std::size_t>(file_.gcount()));
  const bool atEnd = block.size() < blockSize || file_.peek() == std::char_traits<char>::eof();
  partDone_ += block.size();
  if (partEncoding_ == aeBase64) {
    base64_.Add(block, chunk);
    for (std::uint64_t done = partDone_ - block.size() + 57; done <= partDone_; done += 57)
      Info(kMailInfoBase64Progress, std::to_string(done));
    if (atEnd) {
      base64_.Finish(chunk);
      if (partDone_ % 57 != 0) Info(kMailInfoBase64Progress, std::to_string(partDone_));
    }
  } else if (partEncoding_ == aeUUEncode) {
    EncodeUUBlock(block, chunk);
    if (atEnd) chunk += kUUEnd;
  } else if (partQuoted_) {
    quoted_.Add(block, chunk);
    if (atEnd) quoted_.Finish(chunk);
  } else {
    chunk = std::move(block);
  }
  if (atEnd) {
    file_.close();
    ++part_;
    stage_ = EStage::PartStart;
  }
  return true;
}
