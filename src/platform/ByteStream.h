#pragma once
// Bounds-checked reading and plain writing of binary data.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A cursor over bytes that knows how many remain. Every read past the end sets a
// sticky failure, yields zeros and leaves the position at the end: callers parse
// on and check ok() once, as no value read after a failure is trusted.
class ByteReader {
 public:
  explicit ByteReader(std::span<const std::uint8_t> data) : data_(data) {}

  bool ok() const { return ok_; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  std::size_t Position() const { return pos_; }
  std::size_t Remaining() const { return data_.size() - pos_; }
  std::size_t Size() const { return data_.size(); }
  void Fail() { ok_ = false; pos_ = data_.size(); }

  std::uint8_t U8();
  std::uint16_t U16LE();
  std::uint16_t U16BE();
  std::uint32_t U32LE();
  std::uint32_t U32BE();
  std::int16_t I16LE() { return static_cast<std::int16_t>(U16LE()); }
  std::int16_t I16BE() { return static_cast<std::int16_t>(U16BE()); }
  std::int32_t I32LE() { return static_cast<std::int32_t>(U32LE()); }
  std::int32_t I32BE() { return static_cast<std::int32_t>(U32BE()); }

  // The next `count` bytes, or an empty span (and failure) when fewer remain.
  std::span<const std::uint8_t> Bytes(std::size_t count);
  std::string_view Text(std::size_t count);
  void Skip(std::size_t count) { Bytes(count); }
  // Moves to an absolute position; past the end fails.
  void Seek(std::size_t position);

 private:
  std::span<const std::uint8_t> data_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

// Appends binary values to a growing buffer.
class ByteWriter {
 public:
  void U8(std::uint8_t v) { data_.push_back(v); }
  void U16LE(std::uint16_t v);
  void U16BE(std::uint16_t v);
  void U32LE(std::uint32_t v);
  void U32BE(std::uint32_t v);
  void Bytes(std::span<const std::uint8_t> bytes) { data_.insert(data_.end(), bytes.begin(), bytes.end()); }
  void Text(std::string_view text) { data_.insert(data_.end(), text.begin(), text.end()); }
  void Fill(std::size_t count, std::uint8_t value) { data_.insert(data_.end(), count, value); }
  // Overwrites a big-endian value written earlier (lengths known only afterwards).
  void PatchU32BE(std::size_t position, std::uint32_t v);
  void PatchU32LE(std::size_t position, std::uint32_t v);

  std::size_t Size() const { return data_.size(); }
  std::vector<std::uint8_t>& Data() { return data_; }
  std::vector<std::uint8_t> Take() { return std::move(data_); }

 private:
  std::vector<std::uint8_t> data_;
};

std::span<const std::uint8_t> AsBytes(std::string_view text);
