// Mail encoders against references measured in the same run: Qt's one-shot
// base64 for the streaming base64 encoder, a plain copy (the floor) for the
// quoted-printable encoder and dot-stuffing, and reading the file for the whole
// MIME writer.
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

void BM_QuotedPrintableBinary(benchmark::State& state) {
  for (auto _ : state) {
    TQuotedPrintableEncoder encoder(false);
    std::string out;
    encoder.Add(Data(), out);
    encoder.Finish(out);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kDataSize));
}
BENCHMARK(BM_QuotedPrintableBinary);

// Its worst case in practice: a line of one dot every 44 bytes. Argument 0 scans
// with only the vectors every x86-64 has.
void BM_DotStuffer(benchmark::State& state) {
  TDotStuffer::AllowWideScan(state.range(0) != 0);
  for (auto _ : state) {
    TDotStuffer stuffer;
    std::string out;
    stuffer.Add(Text(), out);
    benchmark::DoNotOptimize(out.data());
  }
  TDotStuffer::AllowWideScan(true);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Text().size()));
}
BENCHMARK(BM_DotStuffer)->Arg(1)->Arg(0);

void BM_CopyReference(benchmark::State& state) {
  std::string out(Text().size(), '\0');
  for (auto _ : state) {
    std::memcpy(out.data(), Text().data(), Text().size());
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Text().size()));
}
BENCHMARK(BM_CopyReference);

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
