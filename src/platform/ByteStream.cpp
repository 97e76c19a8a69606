#include "platform/ByteStream.h"

std::span<const std::uint8_t> ByteReader::Bytes(std::size_t count) {
  if (!ok_ || count > Remaining()) {
    Fail();
    return {};
  }
  auto out = data_.subspan(pos_, count);
  pos_ += count;
  return out;
}

std::string_view ByteReader::Text(std::size_t count) {
  auto bytes = Bytes(count);
  return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

void ByteReader::Seek(std::size_t position) {
  if (!ok_ || position > data_.size()) {
    Fail();
    return;
  }
  pos_ = position;
}

std::uint8_t ByteReader::U8() {
  auto b = Bytes(1);
  return b.empty() ? 0 : b[0];
}

std::uint16_t ByteReader::U16LE() {
  auto b = Bytes(2);
  return b.empty() ? 0 : static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}

std::uint16_t ByteReader::U16BE() {
  auto b = Bytes(2);
  return b.empty() ? 0 : static_cast<std::uint16_t>((b[0] << 8) | b[1]);
}

std::uint32_t ByteReader::U32LE() {
  auto b = Bytes(4);
  if (b.empty()) return 0;
  return std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
         (std::uint32_t(b[3]) << 24);
}

std::uint32_t ByteReader::U32BE() {
  auto b = Bytes(4);
  if (b.empty()) return 0;
  return (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) | (std::uint32_t(b[2]) << 8) |
         std::uint32_t(b[3]);
}

void ByteWriter::U16LE(std::uint16_t v) {
  U8(static_cast<std::uint8_t>(v));
  U8(static_cast<std::uint8_t>(v >> 8));
}

void ByteWriter::U16BE(std::uint16_t v) {
  U8(static_cast<std::uint8_t>(v >> 8));
  U8(static_cast<std::uint8_t>(v));
}

void ByteWriter::U32LE(std::uint32_t v) {
  U16LE(static_cast<std::uint16_t>(v));
  U16LE(static_cast<std::uint16_t>(v >> 16));
}

void ByteWriter::U32BE(std::uint32_t v) {
  U16BE(static_cast<std::uint16_t>(v >> 16));
  U16BE(static_cast<std::uint16_t>(v));
}

void ByteWriter::PatchU32BE(std::size_t position, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) data_.at(position + i) = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

void ByteWriter::PatchU32LE(std::size_t position, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) data_.at(position + i) = static_cast<std::uint8_t>(v >> (8 * i));
}

std::span<const std::uint8_t> AsBytes(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}
