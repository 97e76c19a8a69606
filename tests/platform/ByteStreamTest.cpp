#include <gtest/gtest.h>

#include "platform/ByteStream.h"

TEST(ByteReader, ReadsBothByteOrders) {
  const std::uint8_t data[] = {0x12, 0x34, 0x56, 0x78, 0xFF, 0xFE};
  ByteReader r(data);
  EXPECT_EQ(r.U32BE(), 0x12345678u);
  r.Seek(0);
  EXPECT_EQ(r.U32LE(), 0x78563412u);
  EXPECT_EQ(r.I16LE(), -257);
  EXPECT_TRUE(r.AtEnd());
  EXPECT_TRUE(r.ok());
}

TEST(ByteReader, ReadPastEndFailsStickilyAndYieldsZero) {
  const std::uint8_t data[] = {1, 2, 3};
  ByteReader r(data);
  EXPECT_EQ(r.U16BE(), 0x0102);
  EXPECT_EQ(r.U16BE(), 0);  // one byte short
  EXPECT_FALSE(r.ok());
  EXPECT_EQ(r.Remaining(), 0u);
  EXPECT_EQ(r.U8(), 0);  // stays failed even though nothing more was asked than exists
  EXPECT_FALSE(r.ok());
}

TEST(ByteReader, HugeCountsAndSeeksFailWithoutOverflow) {
  const std::uint8_t data[] = {1, 2, 3, 4};
  ByteReader r(data);
  r.U8();
  EXPECT_TRUE(r.Bytes(SIZE_MAX).empty());
  EXPECT_FALSE(r.ok());
  ByteReader s(data);
  s.Seek(4);
  EXPECT_TRUE(s.ok());
  EXPECT_TRUE(s.AtEnd());
  s.Seek(5);
  EXPECT_FALSE(s.ok());
}

TEST(ByteReader, EmptyInput) {
  ByteReader r(std::span<const std::uint8_t>{});
  EXPECT_TRUE(r.AtEnd());
  EXPECT_TRUE(r.Bytes(0).empty());
  EXPECT_TRUE(r.ok());
  EXPECT_EQ(r.U32LE(), 0u);
  EXPECT_FALSE(r.ok());
}

TEST(ByteWriter, WritesAndPatchesWhatTheReaderReads) {
  ByteWriter w;
  w.Text("8BPS");
  w.U16BE(1);
  std::size_t lengthAt = w.Size();
  w.U32BE(0);
  w.U32LE(0xA1B2C3D4);
  w.PatchU32BE(lengthAt, 0xDEADBEEF);
  auto bytes = w.Take();
  ByteReader r(bytes);
  EXPECT_EQ(r.Text(4), "8BPS");
  EXPECT_EQ(r.U16BE(), 1);
  EXPECT_EQ(r.U32BE(), 0xDEADBEEFu);
  EXPECT_EQ(r.U32LE(), 0xA1B2C3D4u);
  EXPECT_TRUE(r.AtEnd() && r.ok());
}
