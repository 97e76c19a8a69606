#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "exchange/MailEncoders.h"
#include "support/MailPieces.h"
#include "support/TestPaths.h"

namespace {
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Decodes `encoded` with Python's own decoder of the given module function.
std::string PythonDecode(const std::string& decoder, const std::string& encoded) {
  TempFolder folder;
  WriteTestFile(folder / "in", encoded);
  std::string output;
  const int status = RunCommand("/usr/bin/python3 -c 'import sys, base64, quopri; "
                                "sys.stdout.buffer.write(" +
                                    decoder + "(open(sys.argv[1], \"rb\").read()))' '" + (folder / "in").string() + "'",
                                &output);
  EXPECT_EQ(status, 0);
  return output;
}

constexpr TMailVectors kLevels[] = {TMailVectors::Avx512, TMailVectors::Avx2, TMailVectors::Sse2,
                                    TMailVectors::ByteByByte};

std::string AllBytes(std::size_t count) {
  std::string data;
  for (std::size_t i = 0; i < count; ++i) data += static_cast<char>((i * 7 + i / 256) & 255);
  return data;
}

std::string Base64(const std::string& data) {
  TBase64Encoder encoder;
  std::string out;
  encoder.Add(data, out);
  encoder.Finish(out);
  return out;
}

std::string QuotedPrintable(const std::string& data, bool keepLines, std::size_t split = std::string::npos,
                            TMailVectors level = TMailVectors::Avx512) {
  TQuotedPrintableEncoder encoder(keepLines, level);
  std::string out;
  if (split > data.size()) split = data.size();
  encoder.Add(std::string_view(data).substr(0, split), out);
  encoder.Add(std::string_view(data).substr(split), out);
  encoder.Finish(out);
  return out;
}
}  // namespace

TEST(Base64Encoder, PadsTheLastGroupAndEndsTheLine) {
  EXPECT_EQ(Base64(""), "");
  EXPECT_EQ(Base64("f"), "Zg==\r\n");
  EXPECT_EQ(Base64("fo"), "Zm8=\r\n");
  EXPECT_EQ(Base64("foo"), "Zm9v\r\n");
  EXPECT_EQ(Base64("foobar"), "Zm9vYmFy\r\n");
  EXPECT_EQ(Base64(std::string("\xff\xfe", 2)), "//4=\r\n");
}

TEST(Base64Encoder, FullLinesHold76CharactersAndBlocksJoinSeamlessly) {
  const std::string data = AllBytes(57 * 40 * 2 + 58);
  TBase64Encoder encoder;
  std::string split;
  // Blocks that cut through groups and lines must give what one call gives.
  for (std::size_t start = 0; start < data.size(); start += 1000)
    encoder.Add(std::string_view(data).substr(start, 1000), split);
  encoder.Finish(split);
  EXPECT_EQ(split, Base64(data));
  const std::vector<std::string> lines = Lines(split);
  ASSERT_EQ(lines.size(), 82u);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) EXPECT_EQ(lines[i].size(), 76u) << i;
  EXPECT_EQ(lines.back().size(), 4u);
  EXPECT_EQ(lines.back().substr(2), "==");
}

TEST(Base64Encoder, PythonDecodesItByteExact) {
  const std::string data = AllBytes(5000);
  EXPECT_EQ(PythonDecode("base64.decodebytes", Base64(data)), data);
}

TEST(QuotedPrintableEncoder, BinaryEncodesBlanksLineBreaksAndEightBit) {
  EXPECT_EQ(QuotedPrintable("a b\r\n=\x7f\xc3\xa9~", false), "a=20b=0D=0A=3D=7F=C3=A9~");
  EXPECT_EQ(QuotedPrintable(".", false), ".");
}

TEST(QuotedPrintableEncoder, SoftBreaksKeepLinesShortAcrossBlocks) {
  const std::string data = AllBytes(3000);
  const std::string whole = QuotedPrintable(data, false);
  // The line length carries over: any cut between blocks gives the same text.
  for (std::size_t split : {1u, 70u, 71u, 2047u, 2048u, 2999u}) EXPECT_EQ(QuotedPrintable(data, false, split), whole);
  for (const std::string& line : Lines(whole)) {
    EXPECT_LE(line.size(), 76u);
    EXPECT_EQ(line.find_first_of(" \t"), std::string::npos);
  }
  EXPECT_EQ(PythonDecode("quopri.decodestring", whole), data);
}

TEST(QuotedPrintableEncoder, TextKeepsLinesAndProtectsTrailingBlanks) {
  const std::string text = "caf\xc3\xa9 au lait \r\nsecond line\t\n\nx=1\rend ";
  const std::string encoded = QuotedPrintable(text, true);
  EXPECT_EQ(encoded, "caf=C3=A9 au lait=20\r\nsecond line=09\r\n\r\nx=3D1=0Dend=20");
  // A line break or blank cut between two blocks is still recognised.
  for (std::size_t split = 0; split <= text.size(); ++split) EXPECT_EQ(QuotedPrintable(text, true, split), encoded);
}

TEST(QuotedPrintableEncoder, TextWithLongLinesDecodesToCanonicalLineBreaks) {
  std::string text = std::string(2000, 'a') + " \n" + std::string(100, ' ') + "z\n";
  const std::string encoded = QuotedPrintable(text, true);
  for (const std::string& line : Lines(encoded)) EXPECT_LE(line.size(), 76u);
  text = std::string(2000, 'a') + " \r\n" + std::string(100, ' ') + "z\r\n";
  EXPECT_EQ(PythonDecode("quopri.decodestring", encoded), text);
}

// Edges of the vector runs, at every vector level: the line's end falling on a block's
// edge (hard breaks in front move it), "=" and blanks at a line's end, CR LF
// against bare LF, empty input.
TEST(QuotedPrintableEncoder, LineEndsAtBlockEdgesAtEveryVectorLevel) {
  const std::string full(75, 'a');
  for (TMailVectors level : kLevels) {
    const auto quoted = [level](const std::string& data, bool keepLines) {
      return QuotedPrintable(data, keepLines, std::string::npos, level);
    };
    EXPECT_EQ(quoted("", true), "");
    EXPECT_EQ(quoted("", false), "");
    EXPECT_EQ(quoted(full + "b", false), full + "=\r\nb");
    EXPECT_EQ(quoted(full.substr(1) + "=", false), full.substr(1) + "=\r\n=3D");
    EXPECT_EQ(quoted(full.substr(3) + "=\x80", false), full.substr(3) + "=3D=\r\n=80");
    for (std::size_t lead = 0; lead <= 40; ++lead) {
      SCOPED_TRACE(testing::Message() << "level " << int(level) << ", lead " << lead);
      const std::string lf(lead, '\n'), crlf = [&] {
        std::string breaks;
        for (std::size_t i = 0; i < lead; ++i) breaks += "\r\n";
        return breaks;
      }();
      EXPECT_EQ(quoted(lf + full + "b" + full, true), crlf + full + "=\r\nb" + full.substr(1) + "=\r\na");
      EXPECT_EQ(quoted(crlf + full + " \n", true), crlf + full + "=\r\n=20\r\n");
      EXPECT_EQ(quoted(lf + full + "\r\n" + full + "\r\n", true), crlf + full + "\r\n" + full + "\r\n");
      EXPECT_EQ(quoted(lf + full.substr(2) + "=\n", true), crlf + full.substr(2) + "=\r\n=3D\r\n");
      EXPECT_EQ(quoted(lf + full.substr(3) + "= \t\r", true), crlf + full.substr(3) + "=3D=\r\n \t=0D");
      // A blank at a block's end or a run's end is encoded if the line ends there.
      EXPECT_EQ(quoted(lf + std::string(lead, 'c') + " \n", true), crlf + std::string(lead, 'c') + "=20\r\n");
      EXPECT_EQ(quoted(std::string(lead, 'c') + " \r\n", true), std::string(lead, 'c') + "=20\r\n");
    }
  }
}

// Binary input of every kind of byte, cut at every offset of the first blocks:
// every vector level gives the text byte by byte gives, which Python decodes, and a soft break comes
// only where the next character (or "=XX") would pass the line's limit.
TEST(QuotedPrintableEncoder, BinaryLevelsAgreeAndFillEveryLine) {
  std::string data;
  for (std::size_t lead = 0; lead <= 40; ++lead) data += std::string(lead, 'a') + AllBytes(300) + std::string(90, 'z');
  const std::string bytewise = QuotedPrintable(data, false, std::string::npos, TMailVectors::ByteByByte);
  for (TMailVectors level : kLevels)
    EXPECT_EQ(QuotedPrintable(data, false, std::string::npos, level), bytewise) << int(level);
  const std::vector<std::string> lines = Lines(bytewise);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    ASSERT_EQ(lines[i].back(), '=') << i;
    EXPECT_GT(lines[i].size() - 1 + (lines[i + 1][0] == '=' ? 3 : 1), 75u) << i;
  }
  EXPECT_EQ(PythonDecode("quopri.decodestring", bytewise), data);
}

// Random text of the bytes whose fate depends on their neighbours (blanks, CR,
// LF, "=", eight-bit, NUL) between runs that bring a line near its limit, cut
// where blocks and steps end: every level gives what byte by byte gives.
TEST(QuotedPrintableEncoder, EveryLevelEncodesAsByteByByteWhereverCut) {
  const char bytes[] = {' ', '\t', '\r', '\n', '=', '.', 'a', '\x80', '\xc3', '\0'};
  std::uint32_t seed = 5;
  const auto random = [&] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  std::string data;
  while (data.size() < 6000)
    data += random() % 4 == 0 ? std::string(60 + random() % 20, 'x') : std::string(1, bytes[random() % 10]);
  // A blank, CR and LF across the edge of the first step of 1024 bytes, whole
  // or after the cut at 1023.
  data.replace(1022, 3, " \r\n");
  data.replace(2045, 3, " \r\n");
  for (bool keepLines : {true, false}) {
    std::vector<std::string> bytewise;
    for (std::size_t split : {std::size_t(0), std::size_t(1023), std::size_t(4000), std::size_t(5999)}) {
      bytewise.push_back(QuotedPrintable(data, keepLines, split, TMailVectors::ByteByByte));
      // Ends that wait for the next call: a blank, a CR, a blank and a CR.
      for (const char* end : {" ", "\r", " \r", "\t\r"})
        bytewise.push_back(
            QuotedPrintable(data.substr(0, split) + end, keepLines, std::string::npos, TMailVectors::ByteByByte));
    }
    for (TMailVectors level : kLevels) {
      std::size_t k = 0;
      for (std::size_t split : {std::size_t(0), std::size_t(1023), std::size_t(4000), std::size_t(5999)}) {
        SCOPED_TRACE(testing::Message() << "level " << int(level) << ", text " << keepLines << ", cut " << split);
        EXPECT_EQ(QuotedPrintable(data, keepLines, split, level), bytewise[k++]);
        for (const char* end : {" ", "\r", " \r", "\t\r"})
          EXPECT_EQ(QuotedPrintable(data.substr(0, split) + end, keepLines, std::string::npos, level), bytewise[k++])
              << end;
      }
    }
  }
}

TEST(UUEncode, FortySixBytesGiveAFullLineAndAOneByteLine) {
  const std::string data = AllBytes(46);
  std::string out;
  EncodeUUBlock(data, out);
  const std::vector<std::string> lines = Lines(out);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 61u);
  EXPECT_EQ(lines[0][0], 'M');
  EXPECT_EQ(lines[1].size(), 5u);
  EXPECT_EQ(lines[1][0], '!');
  // No character of the alphabet is a blank that transport could strip.
  EXPECT_EQ(out.find(' '), std::string::npos);
}

TEST(UUEncode, SharutilsUudecodeRestoresTheBytes) {
  for (std::size_t size : {0u, 1u, 2u, 45u, 46u, 1800u, 4000u}) {
    const std::string data = AllBytes(size);
    std::string text = "begin 666 data.bin\r\n";
    for (std::size_t start = 0; start < data.size(); start += 1800)
      EncodeUUBlock(std::string_view(data).substr(start, 1800), text);
    text += kUUEnd;
    TempFolder folder;
    WriteTestFile(folder / "data.uue", text);
    std::string decoded;
    ASSERT_EQ(RunCommand("uudecode -o /dev/stdout '" + (folder / "data.uue").string() + "'", &decoded), 0) << size;
    EXPECT_EQ(decoded, data) << size;
  }
}

TEST(DotStuffer, DoublesLeadingDotsEvenAcrossBlocks) {
  TDotStuffer stuffer;
  std::string out;
  stuffer.Add(".first\r\nsecond.\r\n", out);
  stuffer.Add(".", out);  // a dot at the start of the next block is still a line start
  stuffer.Add("\r\nx\r", out);
  stuffer.Add("\n.", out);  // CR and LF split between blocks
  stuffer.Finish(out);
  EXPECT_EQ(out, "..first\r\nsecond.\r\n..\r\nx\r\n..\r\n.\r\n");
}

TEST(DotStuffer, MakesEveryLineBreakCrLfSoNoBareLfCanEndTheData) {
  TDotStuffer stuffer;
  std::string out;
  stuffer.Add("a\n.\nb\rc", out);
  stuffer.Finish(out);
  EXPECT_EQ(out, "a\r\n..\r\nb\r\nc\r\n.\r\n");
  TDotStuffer empty;
  out.clear();
  empty.Finish(out);
  EXPECT_EQ(out, ".\r\n");
}

// What Python's SMTP client sends for each of `texts` (none holding a NUL) as
// the data of a message, the closing "." line included.
std::vector<std::string> PythonStuffed(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += text + '\0';
  const std::string quoted = PythonDecode(
      "(lambda b: b\"\\0\".join(__import__(\"smtplib\").quotedata(x.decode(\"latin-1\")).encode(\"latin-1\") "
      "+ (b\"\" if not x or x.endswith((b\"\\r\", b\"\\n\")) else b\"\\r\\n\") + b\".\\r\\n\" "
      "for x in b.split(b\"\\0\")[:-1]))",
      joined);
  std::vector<std::string> out;
  std::size_t start = 0;
  for (std::size_t end; (end = quoted.find('\0', start)) != std::string::npos; start = end + 1)
    out.push_back(quoted.substr(start, end - start));
  out.push_back(quoted.substr(start));
  return out;
}

// Long text of short lines, bare CRs and LFs, leading and inner dots, and the
// edges of the data: cut anywhere between blocks, scanned at every vector
// level, it stuffs as Python's SMTP client quotes it.
TEST(DotStuffer, StuffsAsPythonQuotesItWhereverTheBlocksAreCut) {
  std::string text;
  std::uint32_t seed = 99;
  const char pieces[] = {'\r', '\n', '.', '.', 'a', 'b', ' ', '\r', '\n', 'z'};
  while (text.size() < 3000) {
    seed = seed * 1664525u + 1013904223u;
    text += (seed >> 24) % 5 == 0 ? std::string(40, 'w') : std::string(1, pieces[(seed >> 16) % 10]);
  }
  text += "\r\n.end";
  std::string dotLines, bareLines;
  for (int i = 0; i < 60; ++i) dotLines += ".\r\n";
  for (int i = 0; i < 60; ++i) bareLines += i % 3 ? "\n." : "x\n";
  const std::vector<std::string> texts = {text,
                                          "",
                                          ".",
                                          "\r",
                                          ".\r\n.\r\n",
                                          "a\nb\n.\n",
                                          dotLines,
                                          dotLines + ".",
                                          bareLines,
                                          "." + std::string(200, 'x') + "\r\n.",
                                          std::string(127, 'x') + "\r\n." + std::string(62, 'y') + "\r"};
  const std::vector<std::string> quoted = PythonStuffed(texts);
  ASSERT_EQ(quoted.size(), texts.size());
  for (TMailVectors level : kLevels) {
    for (std::size_t t = 0; t < texts.size(); ++t)
      for (std::size_t piece : {std::size_t(1), std::size_t(63), std::size_t(64), std::size_t(129), std::size_t(-1)}) {
        SCOPED_TRACE(testing::Message() << "level " << int(level) << ", text " << t << ", piece " << piece);
        EXPECT_EQ(StuffedInPieces(texts[t], piece, level), quoted[t]);
      }
  }
}
