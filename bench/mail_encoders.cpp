// Mail encoders against references measured in the same run: Qt's one-shot
// base64 for the streaming base64 encoder, a plain copy of as many bytes as
// their output holds (the floor) for the quoted-printable encoder and
// dot-stuffing, and reading the file for the whole MIME writer. The encoders
// write into a string kept from the run before, as the mail sender reuses its
// own, so neither side pays for fresh pages.
#include <benchmark/benchmark.h>

#include <QByteArray>
#include <cstring>
#include <fstream>
#include <random>
#include <string>

#include "exchange/MailEncoders.h"
#include "exchange/MimeWriter.h"
#include "platform/FileIO.h"

namespace {
constexpr std::size_t kDataSize = 1 << 20;

const std::string& Data() {
  static const std::string data = [] {
    std::mt19937 random(7);
    std::string bytes(kDataSize, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 255);
    return bytes;
  }();
  return data;
}

const std::string& Text() {
  static const std::string text = [] {
    std::string lines;
    while (lines.size() < kDataSize) lines += "A line of mail text, some of it .dotted\r\n.\r\n";
    return lines;
  }();
  return text;
}

void BM_Base64Encoder(benchmark::State& state) {
  for (auto _ : state) {
    TBase64Encoder encoder;
    std::string out;
    for (std::size_t start = 0; start < Data().size(); start += TMimeWriter::kBase64Block)
      encoder.Add(std::string_view(Data()).substr(start, TMimeWriter::kBase64Block), out);
    encoder.Finish(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kDataSize));
}
BENCHMARK(BM_Base64Encoder);

void BM_QtBase64Reference(benchmark::State& state) {
  const QByteArray data = QByteArray::fromStdString(Data());
  for (auto _ : state) benchmark::DoNotOptimize(data.toBase64());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kDataSize));
}
BENCHMARK(BM_QtBase64Reference);

// Lines of words picked at random from nine, each ended once longer than
// `shortest` and up to `spread` more; with `blanks` one in eight ends in a blank.
std::string WordLines(const char* const (&words)[9], unsigned seed, unsigned shortest, unsigned spread, bool blanks,
                      const std::string& lineEnd) {
  std::mt19937 random(seed);
  std::string lines, line;
  while (lines.size() < kDataSize) {
    line += words[random() % 9];
    if (line.size() > shortest + random() % spread) {
      lines += line + (blanks && random() % 8 == 0 ? " " : "") + lineEnd;
      line.clear();
    } else {
      line += ' ';
    }
  }
  return lines;
}

// Mostly text: lines of words, some accented, some "=", a few ending in a blank.
const std::string& MailText() {
  static const char* const words[] = {"the",   "portrait",         "caf\xc3\xa9", "hair", "x=1",
                                      "layer", "na\xc3\xafve", "desk",         "look"};
  static const std::string text = WordLines(words, 11, 40, 40, true, "\n");
  return text;
}

// Plain text as most mail is: ASCII words in lines of 50 to 70 that end in CR LF.
const std::string& PlainText() {
  static const char* const words[] = {"the", "portrait", "hair", "layer", "desk", "look", "fringe", "parting", "colour"};
  static const std::string text = WordLines(words, 13, 50, 20, false, "\r\n");
  return text;
}

// Argument 0 of the quoted-printable pair: binary data, mostly text or plain text.
const std::string& QuotedInput(std::int64_t kind) { return kind == 0 ? Data() : kind == 1 ? MailText() : PlainText(); }

std::size_t QuotedOutput(std::int64_t kind, std::string& out, TMailVectors widest = TMailVectors::Avx512) {
  TQuotedPrintableEncoder encoder(kind != 0, widest);
  out.clear();
  encoder.Add(QuotedInput(kind), out);
  encoder.Finish(out);
  return out.size();
}

// The last argument of the encoders: the widest vectors they may use, as a
// TMailVectors (0 byte by byte, 1 SSE2, 2 AVX2, 3 AVX-512), capped at what the
// processor offers.
void BM_QuotedPrintable(benchmark::State& state) {
  std::string out;
  for (auto _ : state) benchmark::DoNotOptimize(QuotedOutput(state.range(0), out, TMailVectors(state.range(1))));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(QuotedInput(state.range(0)).size()));
  state.counters["output"] = double(out.size());
}
BENCHMARK(BM_QuotedPrintable)->ArgsProduct({{0, 1, 2}, {3, 2, 1, 0}});

// Copies as many bytes as the encoder writes for the same input; the rate is
// still counted over the input, so the two rates compare directly.
void CopyOutput(benchmark::State& state, std::size_t outputSize, std::size_t inputSize) {
  const std::string from(outputSize, 'q');
  std::string to(outputSize, '\0');
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), outputSize);
    benchmark::DoNotOptimize(to.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(inputSize));
}

void BM_QuotedPrintableCopyReference(benchmark::State& state) {
  std::string out;
  CopyOutput(state, QuotedOutput(state.range(0), out), QuotedInput(state.range(0)).size());
}
BENCHMARK(BM_QuotedPrintableCopyReference)->Arg(0)->Arg(1)->Arg(2);

// Its worst case in practice: a line of one dot every 44 bytes.
std::size_t DotStuffed(std::string& out, TMailVectors widest = TMailVectors::Avx512) {
  TDotStuffer stuffer(widest);
  out.clear();
  stuffer.Add(Text(), out);
  return out.size();
}

void BM_DotStuffer(benchmark::State& state) {
  std::string out;
  for (auto _ : state) benchmark::DoNotOptimize(DotStuffed(out, TMailVectors(state.range(0))));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Text().size()));
}
BENCHMARK(BM_DotStuffer)->Arg(3)->Arg(2)->Arg(1)->Arg(0);

void BM_DotStufferCopyReference(benchmark::State& state) {
  std::string out;
  CopyOutput(state, DotStuffed(out), Text().size());
}
BENCHMARK(BM_DotStufferCopyReference);

const fs::path& AttachmentFile() {
  static const fs::path path = [] {
    fs::path file = NewTempFilePath(".bin");
    std::ofstream(file, std::ios::binary) << Data() << Data() << Data() << Data();
    return file;
  }();
  return path;
}

void BM_MimeWriterBase64Attachment(benchmark::State& state) {
  for (auto _ : state) {
    TMailContent content;
    content.from = {"ann@example.com", "Ann"};
    content.to = {{"bob@example.com", ""}};
    content.boundary = std::string(30, 'b');
    content.attachments = {{"", aeBase64, "application/octet-stream", "attachment", "", AttachmentFile().string()}};
    TMimeWriter writer(std::move(content), nullptr);
    TDotStuffer stuffer;
    std::string chunk, wire;
    std::size_t total = 0;
    while (writer.Next(chunk)) {
      wire.clear();
      stuffer.Add(chunk, wire);
      total += wire.size();
    }
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(4 * kDataSize));
}
BENCHMARK(BM_MimeWriterBase64Attachment);

void BM_FileReadReference(benchmark::State& state) {
  for (auto _ : state) {
    std::ifstream file(AttachmentFile(), std::ios::binary);
    std::string block(TMimeWriter::kBase64Block, '\0');
    std::size_t total = 0;
    while (file.read(block.data(), static_cast<std::streamsize>(block.size())) || file.gcount() > 0)
      total += static_cast<std::size_t>(file.gcount());
    benchmark::DoNotOptimize(total);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(4 * kDataSize));
}
BENCHMARK(BM_FileReadReference);
}  // namespace
