#include "exchange/MailEncoders.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "platform/Processor.h"

namespace {
constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr int kBase64LineLength = 76;
// A quoted-printable line holds at most 76 characters, the soft break's "=" included.
constexpr int kQuotedPrintableRoom = 75;
constexpr std::size_t kUULineBytes = 45;

char UUChar(unsigned value) { return value == 0 ? '`' : static_cast<char>(value + 32); }

// The widest level both the processor and `widest` allow.
TMailVectors MailVectors(TMailVectors widest) {
  static const TMailVectors offered = [] {
#if defined(__SSE2__)
    const TProcessorFeatures& has = ProcessorFeatures();
    return has.Avx512Vbmi2 ? TMailVectors::Avx512 : has.Avx2 ? TMailVectors::Avx2 : TMailVectors::Sse2;
#else
    return TMailVectors::ByteByByte;
#endif
  }();
  return std::min(offered, widest);
}
}  // namespace

TQuotedPrintableEncoder::TQuotedPrintableEncoder(bool keepLines, TMailVectors widest)
    : keepLines_(keepLines), vectors_(MailVectors(widest)) {}

TDotStuffer::TDotStuffer(TMailVectors widest) : vectors_(MailVectors(widest)) {}

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

void TQuotedPrintableEncoder::Literal(char c, char*& p) {
  if (lineLength_ + 1 > kQuotedPrintableRoom) {
    p = std::copy_n("=\r\n", 3, p);
    lineLength_ = 0;
  }
  *p++ = c;
  lineLength_ += 1;
}

void TQuotedPrintableEncoder::Encoded(unsigned char c, char*& p) {
  if (lineLength_ + 3 > kQuotedPrintableRoom) {
    p = std::copy_n("=\r\n", 3, p);
    lineLength_ = 0;
  }
  p[0] = '=';
  p[1] = kHexDigits[c >> 4];
  p[2] = kHexDigits[c & 15];
  p += 3;
  lineLength_ += 3;
}

void TQuotedPrintableEncoder::FlushBlank(bool atLineEnd, char*& p) {
  if (pendingBlank_ < 0) return;
  // A blank at the end of a line would be stripped in transport: encode it there.
  if (atLineEnd)
    Encoded(static_cast<unsigned char>(pendingBlank_), p);
  else
    Literal(static_cast<char>(pendingBlank_), p);
  pendingBlank_ = -1;
}

void TQuotedPrintableEncoder::HardBreak(char*& p) {
  FlushBlank(true, p);
  *p++ = '\r';
  *p++ = '\n';
  lineLength_ = 0;
}

namespace {
// Input bytes a quoted-printable step takes: each gives at most three
// characters and a soft break, and two bytes may wait from the step before; a
// vector store may write 128 bytes past the last character.
constexpr std::size_t kQuotedPrintableStep = 1024;
constexpr std::size_t kQuotedPrintableOut = (kQuotedPrintableStep + 2) * 6 + 1 + 128;

// How binary quoted-printable writes each byte: its characters in the low three
// bytes (as they lie in memory), how many there are in the top one.
constexpr auto kBinaryCodes = [] {
  std::array<std::uint32_t, 256> codes{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    const bool encoded = b < 33 || b == '=' || b >= 127;
    codes[b] = encoded ? 3u << 24 | std::uint32_t(kHexDigits[b & 15]) << 16 | std::uint32_t(kHexDigits[b >> 4]) << 8 | '='
                       : 1u << 24 | b;
  }
  return codes;
}();

[[gnu::always_inline]] inline void BinaryBytes(const char* s, std::size_t count, int& lineLength, char*& out) {
  // The line length and p in registers: a store through p could otherwise change them.
  int line = lineLength;
  char* p = out;
  for (const char* end = s + count; s < end; ++s) {
    // Four bytes stored whatever the width (the next code overwrites the
    // rest): no branch on the byte, whose kind random data cannot foretell.
    const std::uint32_t code = kBinaryCodes[static_cast<unsigned char>(*s)];
    const int width = int(code >> 24);
    if (line + width > kQuotedPrintableRoom) {
      p = std::copy_n("=\r\n", 3, p);
      line = 0;
    }
    std::memcpy(p, &code, 4);
    p += width;
    line += width;
  }
  lineLength = line;
  out = p;
}

// Writes `count` bytes that go as they are, with the soft break a literal
// character would get; `width` bytes may be stored (and read) whatever `count`.
[[gnu::always_inline]] inline void PlainRun(const char* s, std::size_t count, std::size_t width, int& line, char*& p) {
  const auto room = std::size_t(kQuotedPrintableRoom - line);
  if (count <= room) {
    std::memcpy(p, s, width);
    p += count;
    line += int(count);
    return;
  }
  std::memcpy(p, s, room);
  std::memcpy(p + room, "=\r\n", 3);
  std::memcpy(p + room + 3, s + room, count - room);
  p += count + 3;
  line = int(count - room);
}

#if defined(__SSE2__)
// Bytes that go as they are: none below `lowest`, "=", DEL or eight-bit.
inline __m128i Plain16(__m128i v, char lowest) {
  return _mm_andnot_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('=')), _mm_cmpeq_epi8(v, _mm_set1_epi8(127))),
                          _mm_cmpgt_epi8(v, _mm_set1_epi8(char(lowest - 1))));  // signed: eight-bit is below
}

// Bit i set where byte i cannot go as it is.
inline std::uint32_t Special16(const char* s, char lowest) {
  return ~std::uint32_t(_mm_movemask_epi8(Plain16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)), lowest))) &
         0xffff;
}

// How 8 bytes of quoted-printable expand, for each set of them that goes as it
// is (bit i for byte i): where each output character comes from among the bytes
// (0-7, those that go as they are; else the high hex digit) and their low hex
// digits (8-15), 0x80 for "="; how many characters the first k bytes give.
struct TExpansion {
  std::uint8_t from[32];
  std::uint8_t ends[9];
};
constexpr auto kExpansions = [] {
  std::array<TExpansion, 256> table{};
  for (unsigned plain = 0; plain < 256; ++plain) {
    TExpansion& e = table[plain];
    for (auto& f : e.from) f = 0x80;
    unsigned at = 0;
    for (unsigned i = 0; i < 8; ++i) {
      if (plain >> i & 1) {
        e.from[at++] = std::uint8_t(i);
      } else {
        ++at;  // "="
        e.from[at++] = std::uint8_t(i);
        e.from[at++] = std::uint8_t(8 + i);
      }
      e.ends[i + 1] = std::uint8_t(at);
    }
  }
  return table;
}();

std::size_t BinaryBlocksNarrow(std::string_view data, int& lineLength, char*& out) {
  int line = lineLength;
  char* p = out;
  std::size_t i = 0;
  for (; i + 16 <= data.size(); i += 16) {
    if (Special16(data.data() + i, 33) == 0)
      PlainRun(data.data() + i, 16, 16, line, p);
    else
      BinaryBytes(data.data() + i, 16, line, p);
  }
  lineLength = line;
  out = p;
  return i;
}

// With AVX2 and AVX-512, quoted-printable goes in two passes over a step. The
// first writes every byte's characters with no soft break (in text a line
// break stays as it is) and lists where the line breaks begin. The second
// breaks the lines: a line holds the 75 characters from its start unless a
// hard break comes first, less the one or two of an escape that the 76th falls
// in (an "=" only ever begins an escape), so a line costs a few loads and one
// move of at most 128 bytes, and no line waits for a search from its start.

// Lists where the line breaks whose LFs are the set bits of `lineFeeds`, from
// chars[at] on, begin: at a CR before the LF (the characters' only CR) or at the LF.
[[gnu::always_inline]] inline void ListBreaks(std::uint64_t lineFeeds, std::size_t at, const char* chars,
                                              std::uint16_t*& breaks) {
  for (; lineFeeds; lineFeeds &= lineFeeds - 1) {
    const std::size_t lf = at + std::size_t(std::countr_zero(lineFeeds));
    *breaks++ = std::uint16_t(lf - ((chars + lf)[-1] == '\r'));  // the step's first may be an LF
  }
}

// Writes `count` characters at p with the soft breaks that keep every line
// within the room and CR LF for each line break; `breaks` ends past any line.
// Two characters before `chars` are read and 128 past any, and 128 bytes may
// be stored at p whatever it takes. Returns the end.
template <bool text>
[[gnu::always_inline]] inline char* BreakLines(const char* chars, std::size_t count, const std::uint16_t* breaks,
                                               int& lineLength, char* p) {
  std::size_t pos = 0;
  auto line = std::size_t(lineLength);
  while (pos < count) {
    std::memcpy(p, chars + pos, 128);
    const std::size_t limit = pos + std::size_t(kQuotedPrintableRoom) - line;  // the first character that does not fit
    if (text && *breaks <= limit) {
      p += *breaks - pos;
      std::memcpy(p, "\r\n", 2);
      p += 2;
      pos = *breaks + 1 + (chars[*breaks] == '\r');
      ++breaks;
      line = 0;
      continue;
    }
    if (limit >= count) {
      p += count - pos;
      line += count - pos;
      break;
    }
    const char* first = chars + limit;  // may be the step's first: two characters lie before it
    const std::size_t cut = limit - (first[-1] == '=' ? 1 : first[-2] == '=' ? 2 : 0);
    p += cut - pos;
    std::memcpy(p, "=\r\n", 3);
    p += 3;
    pos = cut;
    line = 0;
  }
  lineLength = int(line);
  return p;
}

// Each writes the characters of data[from, to) at chars (64 bytes of room to
// spare) and lists the line breaks among them; returns how many characters.
// Text: the bytes after `to` decide the fate of a CR or blank before it; the
// caller leaves none undecided at the end of the data.
using QuotedCharsAt = std::size_t (*)(std::string_view data, std::size_t from, std::size_t to, char* chars,
                                      std::uint16_t* breaks);

// The bytes of 16 at s that are encoded; in text s + 16 and s + 17 are read too.
template <bool text>
[[gnu::target("avx2"), gnu::always_inline]] inline __m128i Encoded16(const char* s) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
  const __m128i encoded = _mm_xor_si128(Plain16(v, text ? 32 : 33), _mm_set1_epi8(-1));
  if constexpr (!text) return encoded;
  const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 1));
  const __m128i after = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 2));
  const __m128i cr = _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')), tab = _mm_cmpeq_epi8(v, _mm_set1_epi8('\t'));
  const __m128i lineBytes = _mm_or_si128(_mm_or_si128(cr, tab), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n')));
  const __m128i blank = _mm_or_si128(tab, _mm_cmpeq_epi8(v, _mm_set1_epi8(' ')));
  const __m128i lfNext = _mm_cmpeq_epi8(next, _mm_set1_epi8('\n'));
  const __m128i breakNext = _mm_or_si128(
      lfNext, _mm_and_si128(_mm_cmpeq_epi8(next, _mm_set1_epi8('\r')), _mm_cmpeq_epi8(after, _mm_set1_epi8('\n'))));
  return _mm_or_si128(_mm_or_si128(_mm_andnot_si128(lineBytes, encoded), _mm_andnot_si128(lfNext, cr)),
                      _mm_and_si128(blank, breakNext));
}

// Blocks of text with nothing to encode, as most text is, go as they are; in
// the others 16 bytes at a time get their hex digits by a byte shuffle and each
// half is expanded by a shuffle from a table.
template <bool text>
[[gnu::target("avx2")]] std::size_t QuotedChars256(std::string_view data, std::size_t from, std::size_t to,
                                                   char* chars, std::uint16_t* breaks) {
  const __m128i hexDigits = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kHexDigits));
  const __m128i low4 = _mm_set1_epi8(15), equals = _mm_set1_epi8('=');
  std::size_t count = 0;
  char tail[96];
  for (std::size_t i = from; i < to; i += 64) {
    // The 64 bytes and, in text, the two after them: from a copy at the data's end.
    const char* s = data.data() + i;
    if (data.size() - i < 64 + (text ? 2 : 0)) {
      std::memset(tail, 0, sizeof tail);
      s = static_cast<const char*>(std::memcpy(tail, s, data.size() - i));
    }
    const std::size_t n = std::min<std::size_t>(64, to - i);
    __m128i encoded[4];
    std::uint64_t any = 0;
    for (unsigned j = 0; j < 4; ++j) {
      encoded[j] = Encoded16<text>(s + 16 * j);
      any |= std::uint64_t(unsigned(_mm_movemask_epi8(encoded[j]))) << 16 * j;
    }
    if (text && (n == 64 ? any : any & ((std::uint64_t(1) << n) - 1)) == 0) {
      std::memcpy(chars + count, s, 64);
      count += n;
      continue;
    }
    for (std::size_t j = 0; j < 4 && 16 * j < n; ++j) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16 * j));
      const auto plain = ~unsigned(_mm_movemask_epi8(encoded[j]));
      const __m128i high = _mm_shuffle_epi8(hexDigits, _mm_and_si128(_mm_srli_epi16(v, 4), low4));
      const __m128i low = _mm_shuffle_epi8(hexDigits, _mm_and_si128(v, low4));
      const __m128i first = _mm_blendv_epi8(v, high, encoded[j]);
      const std::size_t bytes = std::min<std::size_t>(16, n - 16 * j);
      for (std::size_t half = 0; half < 2; ++half) {
        const __m128i source = half ? _mm_unpackhi_epi64(first, low) : _mm_unpacklo_epi64(first, low);
        const TExpansion& e = kExpansions[plain >> (8 * half) & 255];
        const __m128i from0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e.from));
        const __m128i from1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(e.from + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(chars + count),
                         _mm_blendv_epi8(_mm_shuffle_epi8(source, from0), equals, from0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(chars + count + 16),
                         _mm_blendv_epi8(_mm_shuffle_epi8(source, from1), equals, from1));
        count += e.ends[std::min<std::size_t>(8, bytes - std::min(bytes, half * 8))];
      }
    }
  }
  if constexpr (text) {
    for (std::size_t k = 0; k < count; k += 32) {
      const auto lineFeeds = std::uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(chars + k)), _mm256_set1_epi8('\n'))));
      ListBreaks(count - k < 32 ? lineFeeds & ((1u << (count - k)) - 1) : lineFeeds, k, chars, breaks);
    }
  }
  *breaks = 0xffff;  // past any line's end
  return count;
}

#define TRESSARY_QP512 "avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt"
// GCC 12's 512-bit broadcasts and lane shuffles pass an undefined vector as
// their unused merge operand, which its own warning takes for an uninitialised read.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

// Where each slot of 16 bytes (3i, 3i+1, 3i+2) comes from for the bytes at lane
// j of the first characters and, in the second source, of the second and third
// characters, which lanes j and j + 2 of either pair side by side.
constexpr auto kSlotSources = [] {
  std::array<std::array<std::uint8_t, 64>, 4> sources{};
  for (unsigned j = 0; j < 4; ++j)
    for (unsigned i = 0; i < 16; ++i) {
      sources[j][3 * i] = std::uint8_t(16 * j + i);
      sources[j][3 * i + 1] = std::uint8_t(64 + 16 * (j % 2) + i);
      sources[j][3 * i + 2] = std::uint8_t(96 + 16 * (j % 2) + i);
    }
  return sources;
}();

// 64 bytes classified at once and 16 at a time spread over three slots each
// (the byte or "=", then the hex digits) and compressed to the characters they
// keep. A slot that gives no character holds 0, which no character is.
template <bool text>
[[gnu::target(TRESSARY_QP512)]] std::size_t QuotedChars512(std::string_view data, std::size_t from,
                                                             std::size_t to, char* chars, std::uint16_t* breaks) {
  const __m512i hexDigits = _mm512_broadcast_i32x4(_mm_loadu_si128(reinterpret_cast<const __m128i*>(kHexDigits)));
  const __m512i low4 = _mm512_set1_epi8(15);
  std::size_t count = 0;
  for (std::size_t i = from; i < to; i += 64) {
    const std::size_t n = std::min<std::size_t>(64, to - i), avail = data.size() - i;
    const char* s = data.data() + i;
    const __m512i v = avail >= 64 ? _mm512_loadu_si512(s) : _mm512_maskz_loadu_epi8(_bzhi_u64(~0ull, unsigned(avail)), s);
    const std::uint64_t take = n == 64 ? ~0ull : _bzhi_u64(~0ull, unsigned(n));
    // Eight-bit bytes are negative, below the lowest plain byte too.
    std::uint64_t encoded =
        ~_mm512_cmpgt_epi8_mask(v, _mm512_set1_epi8(text ? 31 : 32)) | _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('=')) |
        _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(127));
    if constexpr (text) {
      const auto at = [&](std::size_t k) { return k < data.size() ? data[k] : '\0'; };
      const std::uint64_t cr = _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\r'));
      const std::uint64_t lf = _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\n'));
      const std::uint64_t tab = _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\t'));
      const std::uint64_t blank = tab | _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8(' '));
      const char next = at(i + 64);
      const std::uint64_t lfNext = lf >> 1 | std::uint64_t(next == '\n') << 63;
      const bool breakNext = next == '\n' || (next == '\r' && at(i + 65) == '\n');
      const std::uint64_t breakAfter = (lf | (cr & lfNext)) >> 1 | std::uint64_t(breakNext) << 63;
      encoded = (encoded & ~(cr | lf | tab)) | (cr & ~lfNext) | (blank & breakAfter);
    }
    encoded &= take;
    if (text && encoded == 0) {  // as most text is: the block as it is
      _mm512_storeu_si512(chars + count, v);
      count += n;
      continue;
    }
    const __m512i high = _mm512_maskz_shuffle_epi8(encoded, hexDigits, _mm512_and_si512(_mm512_srli_epi16(v, 4), low4));
    const __m512i low = _mm512_maskz_shuffle_epi8(encoded, hexDigits, _mm512_and_si512(v, low4));
    const __m512i first = _mm512_maskz_mov_epi8(take, _mm512_mask_blend_epi8(encoded, v, _mm512_set1_epi8('=')));
    const __m512i rest[2] = {_mm512_shuffle_i64x2(high, low, 0x44), _mm512_shuffle_i64x2(high, low, 0xee)};
#pragma GCC unroll 4
    for (unsigned j = 0; j < 4; ++j) {
      const __m512i slots = _mm512_maskz_permutex2var_epi8(
          0xffffffffffff, first, _mm512_loadu_si512(kSlotSources[j].data()), rest[j / 2]);
      const __mmask64 keep = _mm512_test_epi8_mask(slots, slots);
      _mm512_storeu_si512(chars + count, _mm512_maskz_compress_epi8(keep, slots));
      count += std::size_t(std::popcount(std::uint64_t(keep)));
    }
  }
  if constexpr (text) {
    for (std::size_t k = 0; k < count; k += 64) {
      const std::uint64_t lineFeeds = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(chars + k), _mm512_set1_epi8('\n'));
      ListBreaks(count - k < 64 ? _bzhi_u64(lineFeeds, unsigned(count - k)) : lineFeeds, k, chars, breaks);
    }
  }
  *breaks = 0xffff;  // past any line's end
  return count;
}
#pragma GCC diagnostic pop

// Encodes data[from, to) at out, less what it leaves to the byte-by-byte rules
// (in text, a CR or blank at the end of the data, and a CR whose LF is past
// `to`); returns how many bytes it took.
template <bool text, QuotedCharsAt charsAt>
[[gnu::always_inline]] inline std::size_t QuotedStep(std::string_view data, std::size_t from, std::size_t to,
                                                     int& lineLength, char*& out) {
  if constexpr (text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    if (to == data.size()) {
      if (to > from && data[to - 1] == '\r') --to;
      if (to > from && blank(data[to - 1])) --to;
    } else if (data[to - 1] == '\r' && data[to] == '\n') {
      --to;
    }
    if (to <= from) return 0;
  }
  // Two characters that are neither "=" nor CR in front; room for the
  // expanded stores and the 128-byte reads.
  char chars[2 + kQuotedPrintableStep * 3 + 128];
  chars[0] = chars[1] = '\0';
  std::uint16_t breaks[kQuotedPrintableStep + 1];  // a line break takes a byte at least
  const std::size_t count = charsAt(data, from, to, chars + 2, breaks);
  out = BreakLines<text>(chars + 2, count, breaks, lineLength, out);
  return to - from;
}

using QuotedStepAt = std::size_t (*)(std::string_view data, std::size_t from, std::size_t to, int& lineLength,
                                     char*& out);

template <bool text>
[[gnu::target("avx2")]] std::size_t QuotedAvx2(std::string_view data, std::size_t from, std::size_t to,
                                               int& lineLength, char*& out) {
  return QuotedStep<text, QuotedChars256<text>>(data, from, to, lineLength, out);
}

template <bool text>
[[gnu::target(TRESSARY_QP512)]] std::size_t Quoted512(std::string_view data, std::size_t from, std::size_t to,
                                                       int& lineLength, char*& out) {
  return QuotedStep<text, QuotedChars512<text>>(data, from, to, lineLength, out);
}
#undef TRESSARY_QP512
#endif
}  // namespace

// Steps of input into a buffer on the stack, each appended whole: the string
// grows without being cleared first and without a check a character.
void TQuotedPrintableEncoder::Add(std::string_view data, std::string& out) {
  // Room for the most the data can give (untouched room costs nothing), so the
  // string is not moved as it grows.
  out.reserve(out.size() + data.size() * 3 + data.size() * 3 / (kQuotedPrintableRoom - 2) * 3 + 16);
  char buffer[kQuotedPrintableOut];
  [[maybe_unused]] const TMailVectors level = vectors_;
  for (std::size_t at = 0; at < data.size(); at += kQuotedPrintableStep) {
    const std::string_view step = data.substr(at, kQuotedPrintableStep);
    char* p = buffer;
    if (keepLines_) {
      AddText(data, at, at + step.size(), p);
    } else {
      std::size_t done = 0;
#if defined(__SSE2__)
      if (level >= TMailVectors::Avx2)
        done = (level == TMailVectors::Avx512 ? Quoted512<false> : QuotedAvx2<false>)(step, 0, step.size(),
                                                                                     lineLength_, p);
      else if (level == TMailVectors::Sse2)
        done = BinaryBlocksNarrow(step, lineLength_, p);
#endif
      BinaryBytes(step.data() + done, step.size() - done, lineLength_, p);
    }
    out.append(buffer, std::size_t(p - buffer));
  }
}

// With AVX2 or AVX-512 whole steps go at once; else runs of bytes that go as
// they are (a blank among them, not at their end) are found 16 at a time and
// copied whole; the bytes between go one by one.
void TQuotedPrintableEncoder::AddText(std::string_view whole, std::size_t from, std::size_t to, char*& p) {
  const TMailVectors level = vectors_;
#if defined(__SSE2__)
  if (level >= TMailVectors::Avx2) {
    const QuotedStepAt step = level == TMailVectors::Avx512 ? Quoted512<true> : QuotedAvx2<true>;
    // It may look past `to` for the fate of a CR or blank before it.
    for (std::size_t i = from; i < to;) {
      if (!pendingCr_ && pendingBlank_ < 0) {
        const std::size_t done = step(whole, i, to, lineLength_, p);
        i += done;
        if (done > 0) continue;
      }
      AddTextByte(static_cast<unsigned char>(whole[i++]), p);
    }
    return;
  }
#endif
  const std::string_view data = whole.substr(from, to - from);
  const bool runs = level != TMailVectors::ByteByByte;
  for (std::size_t i = 0; i < data.size();) {
#if defined(__SSE2__)
    if (runs && !pendingCr_ && pendingBlank_ < 0 && data.size() - i >= 16) {
      const std::uint32_t bits = Special16(data.data() + i, 32);
      std::size_t run = bits ? std::size_t(std::countr_zero(bits)) : 16;
      if (run > 0 && data[i + run - 1] == ' ') --run;  // its fate depends on the byte after
      if (run > 0) {
        PlainRun(data.data() + i, run, 16, lineLength_, p);
        i += run;
        continue;
      }
    }
#endif
    AddTextByte(static_cast<unsigned char>(data[i++]), p);
  }
}

void TQuotedPrintableEncoder::AddTextByte(unsigned char byte, char*& p) {
  if (pendingCr_) {
    pendingCr_ = false;
    if (byte == '\n') {
      HardBreak(p);
      return;
    }
    FlushBlank(false, p);
    Encoded('\r', p);
  }
  if (byte == '\r') {
    pendingCr_ = true;
  } else if (byte == '\n') {
    HardBreak(p);
  } else if (byte == ' ' || byte == '\t') {
    FlushBlank(false, p);
    pendingBlank_ = byte;
  } else {
    FlushBlank(false, p);
    if (byte < 32 || byte == '=' || byte >= 127)
      Encoded(byte, p);
    else
      Literal(char(byte), p);
  }
}

void TQuotedPrintableEncoder::Finish(std::string& out) {
  char buffer[16];
  char* p = buffer;
  if (pendingCr_) {
    FlushBlank(false, p);
    Encoded('\r', p);
    pendingCr_ = false;
  }
  FlushBlank(true, p);
  out.append(buffer, std::size_t(p - buffer));
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


#if defined(__SSE2__)
// Vectors pass by value only within functions of one instruction set.
#pragma GCC diagnostic ignored "-Wpsabi"
namespace {
// Bit i set where byte i of a block of 64 is CR, LF or a dot.
struct LineMasks {
  std::uint64_t cr, lf, dot;
};
constexpr std::size_t kBlock = 64;
// Blocks found at a time: their masks stay in the first level cache, and their
// output (at most twice the input) in a buffer on the stack.
constexpr std::size_t kBlocksAStep = 32;
using FindLineBytes = void (*)(const char* s, std::size_t blocks, LineMasks* masks);

inline std::uint64_t Bits16(__m128i v, __m128i c, int shift) {
  return std::uint64_t(std::uint16_t(_mm_movemask_epi8(_mm_cmpeq_epi8(v, c)))) << shift;
}

void FindLineBytesNarrow(const char* s, std::size_t blocks, LineMasks* masks) {
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n'), dot = _mm_set1_epi8('.');
  for (std::size_t k = 0; k < blocks; ++k, s += kBlock) {
    const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
    const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
    const __m128i v3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 48));
    masks[k] = {Bits16(v0, cr, 0) | Bits16(v1, cr, 16) | Bits16(v2, cr, 32) | Bits16(v3, cr, 48),
                Bits16(v0, lf, 0) | Bits16(v1, lf, 16) | Bits16(v2, lf, 32) | Bits16(v3, lf, 48),
                Bits16(v0, dot, 0) | Bits16(v1, dot, 16) | Bits16(v2, dot, 32) | Bits16(v3, dot, 48)};
  }
}

[[gnu::target("avx2"), gnu::always_inline]] inline std::uint64_t Bits64(__m256i low, __m256i high, __m256i c) {
  return std::uint64_t(std::uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, c)))) |
         std::uint64_t(std::uint32_t(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, c)))) << 32;
}

[[gnu::target("avx2")]] void FindLineBytesWide(const char* s, std::size_t blocks, LineMasks* masks) {
  const __m256i cr = _mm256_set1_epi8('\r'), lf = _mm256_set1_epi8('\n'), dot = _mm256_set1_epi8('.');
  for (std::size_t k = 0; k < blocks; ++k, s += kBlock) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32));
    masks[k] = {Bits64(low, high, cr), Bits64(low, high, lf), Bits64(low, high, dot)};
  }
}

// Writes a block of 64 at p with a character put in before a bare LF ("\r"),
// after a bare CR ("\n") and before a dot that starts a line ("."): the runs
// between go in whole-block moves (p has 64 bytes to spare, and b 64 to read).
[[gnu::always_inline]] inline void PutLineBytes(const char* b, std::uint64_t bareCr, std::uint64_t bareLf,
                                                std::uint64_t dots, char*& p) {
  std::uint64_t put = bareLf | bareCr | dots;
  std::size_t from = 0;
  while (put) {
    const auto i = std::size_t(std::countr_zero(put));
    const std::uint64_t bit = put & -put;
    put ^= bit;
    std::memcpy(p, b + from, kBlock);  // only i - from count
    p += i - from;
    from = i;
    if (bareCr & bit) *p++ = '\n';
    if (bareLf & bit) *p++ = '\r';
    if (dots & bit) *p++ = '.';
  }
  std::memcpy(p, b + from, kBlock);
  p += kBlock - from;
}

// Blocks of 64 while at least 128 remain, each written by `put` from masks of
// its CRs, LFs and dots. Output goes through a buffer on the stack, appended a
// step at a time. Returns the bytes done; a CR that ends them waits as
// pendingCr does. Inlined into one caller per instruction set, whose moves are
// the widest it has.
using PutLineBytesAt = void (*)(const char* b, std::uint64_t bareCr, std::uint64_t bareLf, std::uint64_t dots, char*& p);
template <PutLineBytesAt put>
[[gnu::always_inline]] inline std::size_t StuffBlocks(FindLineBytes find, std::string_view text, bool& pendingCr,
                                                      bool& atLineStart, std::string& out) {
  // A move reads a whole block from the last put: the last 64 bytes are left to the caller.
  if (text.size() < 2 * kBlock) return 0;
  const std::size_t blocks = (text.size() - kBlock) / kBlock;
  LineMasks masks[kBlocksAStep];
  char buffer[kBlocksAStep * kBlock * 2 + kBlock + 1];
  std::uint64_t lastCr = pendingCr, lastLf = atLineStart && !pendingCr;
  char* p = buffer;
  if (pendingCr) *p++ = '\r';
  for (std::size_t first = 0; first < blocks; first += kBlocksAStep) {
    const std::size_t count = std::min(kBlocksAStep, blocks - first);
    const char* b = text.data() + first * kBlock;
    find(b, count, masks);
    for (std::size_t k = 0; k < count; ++k, b += kBlock) {
      const auto [cr, lf, dot] = masks[k];
      const std::uint64_t afterCr = cr << 1 | lastCr;
      const std::uint64_t bareLf = lf & ~afterCr, bareCr = afterCr & ~lf;
      const std::uint64_t dots = dot & (lf << 1 | lastLf | bareCr);
      lastCr = cr >> 63;
      lastLf = lf >> 63;
      put(b, bareCr, bareLf, dots, p);
    }
    if (first + count == blocks && lastCr) --p;  // the CR just copied waits for what follows it
    out.append(buffer, std::size_t(p - buffer));
    p = buffer;
  }
  pendingCr = lastCr != 0;
  atLineStart = lastLf != 0;
  return blocks * kBlock;
}

std::size_t StuffNarrow(std::string_view text, bool& pendingCr, bool& atLineStart, std::string& out) {
  return StuffBlocks<PutLineBytes>(FindLineBytesNarrow, text, pendingCr, atLineStart, out);
}

[[gnu::target("avx2")]] std::size_t StuffWide(std::string_view text, bool& pendingCr, bool& atLineStart,
                                              std::string& out) {
  return StuffBlocks<PutLineBytes>(FindLineBytesWide, text, pendingCr, atLineStart, out);
}

#define TRESSARY_STUFF512 "avx512f,avx512bw,avx512vl,avx512vbmi2,bmi,bmi2,popcnt"
// GCC 12's 512-bit intrinsics pass an undefined vector as an unused merge
// operand, which its own warning takes for an uninitialised read.
#pragma GCC diagnostic push
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
[[gnu::target(TRESSARY_STUFF512)]] void FindLineBytes512(const char* s, std::size_t blocks, LineMasks* masks) {
  for (std::size_t k = 0; k < blocks; ++k, s += kBlock) {
    const __m512i v = _mm512_loadu_si512(s);
    masks[k] = {_mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\r')), _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('\n')),
                _mm512_cmpeq_epi8_mask(v, _mm512_set1_epi8('.'))};
  }
}

// Without a branch a character put in: each byte given a slot in front of it
// for what goes there, interleaved, and the slots that hold nothing compressed
// away, 32 bytes at a time. A byte after a lone CR that is a dot gets two, and
// its block goes run by run.
[[gnu::target(TRESSARY_STUFF512)]] inline void PutLineBytes512(
    const char* b, std::uint64_t bareCr, std::uint64_t bareLf, std::uint64_t dots, char*& p) {
  const std::uint64_t puts = bareCr | bareLf | dots;
  if (puts == 0) {
    _mm512_storeu_si512(p, _mm512_loadu_si512(b));
    p += kBlock;
    return;
  }
  if (bareCr & dots) return PutLineBytes(b, bareCr, bareLf, dots, p);
  const __m512i v = _mm512_loadu_si512(b);
  const __m512i put = _mm512_mask_blend_epi8(
      dots, _mm512_mask_blend_epi8(bareLf, _mm512_set1_epi8('\n'), _mm512_set1_epi8('\r')), _mm512_set1_epi8('.'));
  const __m512i low = _mm512_unpacklo_epi8(put, v), high = _mm512_unpackhi_epi8(put, v);
  constexpr std::uint64_t kSlotsInFront = 0x5555555555555555;
  const std::uint64_t keepLow = _pdep_u64(puts & 0xffffffff, kSlotsInFront) | ~kSlotsInFront;
  const std::uint64_t keepHigh = _pdep_u64(puts >> 32, kSlotsInFront) | ~kSlotsInFront;
  const __m512i first = _mm512_permutex2var_epi64(low, _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0), high);
  const __m512i second = _mm512_permutex2var_epi64(low, _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4), high);
  _mm512_storeu_si512(p, _mm512_maskz_compress_epi8(keepLow, first));
  p += std::popcount(keepLow);
  _mm512_storeu_si512(p, _mm512_maskz_compress_epi8(keepHigh, second));
  p += std::popcount(keepHigh);
}

[[gnu::target(TRESSARY_STUFF512)]] std::size_t Stuff512(std::string_view text, bool& pendingCr, bool& atLineStart,
                                                       std::string& out) {
  return StuffBlocks<PutLineBytes512>(FindLineBytes512, text, pendingCr, atLineStart, out);
}
#pragma GCC diagnostic pop
#undef TRESSARY_STUFF512
}  // namespace

std::size_t TDotStuffer::AddBlocks(std::string_view text, std::string& out) {
  switch (vectors_) {
    case TMailVectors::ByteByByte: return 0;
    case TMailVectors::Sse2: return StuffNarrow(text, pendingCr_, atLineStart_, out);
    case TMailVectors::Avx2: return StuffWide(text, pendingCr_, atLineStart_, out);
    default: return Stuff512(text, pendingCr_, atLineStart_, out);
  }
}
#else
std::size_t TDotStuffer::AddBlocks(std::string_view, std::string&) { return 0; }
#endif

void TDotStuffer::Add(std::string_view text, std::string& out) {
  // Room for the most it can give (a character put in a byte), so the string is not moved as it grows.
  out.reserve(out.size() + 2 * text.size() + 2);
  // Byte by byte, what the blocks left, 128 bytes a piece: at most a character
  // put in for each, and a pending CR's LF.
  char buffer[2 * 128 + 2];
  for (std::size_t i = AddBlocks(text, out); i < text.size(); i += 128) {
    char* p = buffer;
    StuffBytes(text.substr(i, 128), p);
    out.append(buffer, std::size_t(p - buffer));
  }
}

void TDotStuffer::StuffBytes(std::string_view text, char*& p) {
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (pendingCr_) {
      pendingCr_ = false;
      *p++ = '\r';
      *p++ = '\n';
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
      *p++ = '\r';
      *p++ = '\n';
      atLineStart_ = true;
      ++i;
    } else {
      if (atLineStart_ && c == '.') *p++ = '.';
      atLineStart_ = false;
      // The rest of the line goes as it is.
      for (; i < text.size() && text[i] != '\r' && text[i] != '\n'; ++i) *p++ = text[i];
    }
  }
}

void TDotStuffer::Finish(std::string& out) {
  if (pendingCr_ || !atLineStart_) out += "\r\n";
  pendingCr_ = false;
  atLineStart_ = true;
  out += ".\r\n";
}
