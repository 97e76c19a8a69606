#pragma once
// Transfer encodings of mail text, each usable on data that arrives in blocks:
// the state a line needs carries over from one call to the next.
#include <cstdint>
#include <string>
#include <string_view>

// The widest vectors a quoted-printable encoder or a dot-stuffer may use, up
// to what the processor offers (the default is all of it). Tests and benchmarks
// make narrower ones: byte by byte is the reference every wider level must match.
enum class TMailVectors { ByteByByte, Sse2, Avx2, Avx512 };

// Base64 in lines of 76 characters (57 bytes); every line ends with CR LF.
class TBase64Encoder {
 public:
  void Add(std::string_view data, std::string& out);
  // Encodes the one or two bytes left (padded with "=") and ends an unfinished line.
  void Finish(std::string& out);

 private:
  void EncodeGroup(const unsigned char* bytes, int count, std::string& out);
  unsigned char pending_[3] = {0, 0, 0};
  int pendingCount_ = 0;
  int lineLength_ = 0;
};

// Quoted-printable with soft breaks that keep every line within 76 characters.
// With `keepLines` the input is text: LF and CR LF become hard line breaks (a lone
// CR is encoded) and blanks stay readable except at a line's end. Without it the input is binary: CR, LF and blanks are encoded
// too, so the bytes come back exactly.
class TQuotedPrintableEncoder {
 public:
  explicit TQuotedPrintableEncoder(bool keepLines, TMailVectors widest = TMailVectors::Avx512);
  void Add(std::string_view data, std::string& out);
  // Flushes what waits for the next byte; adds no line break of its own.
  void Finish(std::string& out);

 private:
  // Each writes at p, in room the caller made, and moves p on.
  void AddText(std::string_view data, std::size_t from, std::size_t to, char*& p);
  void AddTextByte(unsigned char byte, char*& p);
  void Literal(char c, char*& p);
  void Encoded(unsigned char c, char*& p);
  void HardBreak(char*& p);
  void FlushBlank(bool atLineEnd, char*& p);
  bool keepLines_;
  TMailVectors vectors_;
  int lineLength_ = 0;
  int pendingBlank_ = -1;  // a blank or tab whose fate depends on the next byte
  bool pendingCr_ = false;
};

// Uuencodes `block` as lines of at most 45 bytes ("M" and 60 characters for a full
// line), each ending with CR LF. A last partial group is padded with zero bytes;
// the value 0 is written as "`" so that no line ends in a blank that transport
// may strip.
void EncodeUUBlock(std::string_view block, std::string& out);
// The standard end of uuencoded data: a zero-length line and "end".
inline constexpr std::string_view kUUEnd = "`\r\nend\r\n";

// SMTP's transparency for the text between DATA and the closing ".": every line
// break becomes CR LF (a bare LF or CR could otherwise end the data early on some
// servers) and a line that begins with "." gets one more in front of it.
class TDotStuffer {
 public:
  explicit TDotStuffer(TMailVectors widest = TMailVectors::Avx512);
  void Add(std::string_view text, std::string& out);
  // Ends an unfinished line and appends the closing "." line.
  void Finish(std::string& out);

 private:
  // The long runs of Add; returns how many bytes of text it took.
  std::size_t AddBlocks(std::string_view text, std::string& out);
  // The rest, byte by byte; writes at p and moves it on.
  void StuffBytes(std::string_view text, char*& p);
  TMailVectors vectors_;
  bool atLineStart_ = true;
  bool pendingCr_ = false;
};
