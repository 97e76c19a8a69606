#include "exchange/MailEncoders.h"

#include <algorithm>

namespace {
constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kBase64LineLength = 76;
// A quoted-printable line holds at most 76 characters, the soft break's "=" included.
constexpr int kQuotedPrintableRoom = 75;
constexpr std::size_t kUULineBytes = 45;

char UUChar(unsigned value) { return value == 0 ? '`' : static_cast<char>(value + 32); }
}  // namespace

void TBase64Encoder::EncodeGroup(const unsigned char* bytes, int count, std::string& out) {
  const unsigned value = (unsigned(bytes[0]) << 16) | (count > 1 ? unsigned(bytes[1]) << 8 : 0u) |
                         (count > 2 ? unsigned(bytes[2]) : 0u);
  out += kBase64Alphabet[(value >> 18) & 63];
  out += kBase64Alphabet[(value >> 12) & 63];
  out += count > 1 ? kBase64Alphabet[(value >> 6) & 63] : '=';
  out += count > 2 ? kBase64Alphabet[value & 63] : '=';
  lineLength_ += 4;
  if (lineLength_ == kBase64LineLength) {
    out += "\r\n";
    lineLength_ = 0;
  }
}

void TBase64Encoder::Add(std::string_view data, std::string& out) {
  std::size_t i = 0;
  while (pendingCount_ > 0 && i < data.size()) {
    pending_[pendingCount_++] = static_cast<unsigned char>(data[i++]);
    if (pendingCount_ == 3) {
      EncodeGroup(pending_, 3, out);
      pendingCount_ = 0;
    }
  }
  // Whole groups straight into the output: room for their characters and every
  // line break they can complete.
  const std::size_t groups = (data.size() - i) / 3;
  const std::size_t start = out.size();
  out.resize(start + groups * 4 + (groups * 4 / kBase64LineLength + 1) * 2);
  char* p = out.data() + start;
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data()) + i;
  for (std::size_t g = 0; g < groups; ++g, bytes += 3) {
    const unsigned value = (unsigned(bytes[0]) << 16) | (unsigned(bytes[1]) << 8) | bytes[2];
    p[0] = kBase64Alphabet[value >> 18];
    p[1] = kBase64Alphabet[(value >> 12) & 63];
    p[2] = kBase64Alphabet[(value >> 6) & 63];
    p[3] = kBase64Alphabet[value & 63];
    p += 4;
    lineLength_ += 4;
    if (lineLength_ == kBase64LineLength) {
      p[0] = '\r';
      p[1] = '\n';
      p += 2;
      lineLength_ = 0;
    }
  }
  out.resize(static_cast<std::size_t>(p - out.data()));
  for (i += groups * 3; i < data.size(); ++i) pending_[pendingCount_++] = static_cast<unsigned char>(data[i]);
}

void TBase64Encoder::Finish(std::string& out) {
  if (pendingCount_ > 0) EncodeGroup(pending_, pendingCount_, out);
  pendingCount_ = 0;
  if (lineLength_ > 0) out += "\r\n";
  lineLength_ = 0;
}

void TQuotedPrintableEncoder::Literal(char c, std::string& out) {
  if (lineLength_ + 1 > kQuotedPrintableRoom) {
    out += "=\r\n";
    lineLength_ = 0;
  }
  out += c;
  lineLength_ += 1;
}

void TQuotedPrintableEncoder::Encoded(unsigned char c, std::string& out) {
  if (lineLength_ + 3 > kQuotedPrintableRoom) {
    out += "=\r\n";
    lineLength_ = 0;
  }
  out += '=';
  out += kHexDigits[c >> 4];
  out += kHexDigits[c & 15];
  lineLength_ += 3;
}

void TQuotedPrintableEncoder::FlushBlank(bool atLineEnd, std::string& out) {
  if (pendingBlank_ < 0) return;
  // A blank at the end of a line would be stripped in transport: encode it there.
  if (atLineEnd)
    Encoded(static_cast<unsigned char>(pendingBlank_), out);
  else
    Literal(static_cast<char>(pendingBlank_), out);
  pendingBlank_ = -1;
}

void TQuotedPrintableEncoder::HardBreak(std::string& out) {
  FlushBlank(true, out);
  out += "\r\n";
  lineLength_ = 0;
}

void TQuotedPrintableEncoder::Add(std::string_view data, std::string& out) {
  for (char c : data) {
    const auto byte = static_cast<unsigned char>(c);
    if (!keepLines_) {
      if (byte < 33 || byte == '=' || byte >= 127)
        Encoded(byte, out);
      else
        Literal(c, out);
      continue;
    }
    if (pendingCr_) {
      pendingCr_ = false;
      if (byte == '\n') {
        HardBreak(out);
        continue;
      }
      FlushBlank(false, out);
      Encoded('\r', out);
    }
    if (byte == '\r') {
      pendingCr_ = true;
    } else if (byte == '\n') {
      HardBreak(out);
    } else if (byte == ' ' || byte == '\t') {
      FlushBlank(false, out);
      pendingBlank_ = byte;
    } else {
      FlushBlank(false, out);
      if (byte < 32 || byte == '=' || byte >= 127)
        Encoded(byte, out);
      else
        Literal(c, out);
    }
  }
}

void TQuotedPrintableEncoder::Finish(std::string& out) {
  if (pendingCr_) {
    FlushBlank(false, out);
    Encoded('\r', out);
    pendingCr_ = false;
  }
  FlushBlank(true, out);
}

void EncodeUUBlock(std::string_view block, std::string& out) {
  for (std::size_t start = 0; start < block.size(); start += kUULineBytes) {
    const std::size_t count = std::min(kUULineBytes, block.size() - start);
    out += UUChar(static_cast<unsigned>(count));
    for (std::size_t i = 0; i < count; i += 3) {
      unsigned char b[3] = {0, 0, 0};
      for (std::size_t k = 0; k < 3 && i + k < count; ++k) b[k] = static_cast<unsigned char>(block[start + i + k]);
      out += UUChar(b[0] >> 2);
      out += UUChar(((b[0] & 3) << 4) | (b[1] >> 4));
      out += UUChar(((b[1] & 15) << 2) | (b[2] >> 6));
      out += UUChar(b[2] & 63);
    }
    out += "\r\n";
  }
}

void TDotStuffer::Add(std::string_view text, std::string& out) {
  out.reserve(out.size() + text.size() + 16);
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (pendingCr_) {
      pendingCr_ = false;
      out += "\r\n";
      atLineStart_ = true;
      if (c == '\n') {
        ++i;
        continue;
      }
    }
    if (c == '\r') {
      pendingCr_ = true;
      ++i;
    } else if (c == '\n') {
      out += "\r\n";
      atLineStart_ = true;
      ++i;
    } else {
      if (atLineStart_ && c == '.') out += '.';
      // The rest of the line goes as it is.
      std::size_t end = text.find_first_of("\r\n", i);
      if (end == std::string_view::npos) end = text.size();
      out.append(text.substr(i, end - i));
      atLineStart_ = false;
      i = end;
    }
  }
}

void TDotStuffer::Finish(std::string& out) {
  if (pendingCr_ || !atLineStart_) out += "\r\n";
  pendingCr_ = false;
  atLineStart_ = true;
  out += ".\r\n";
}
