#include <gtest/gtest.h>

#include "BmpReader.h"
#include "platform/ByteStream.h"

namespace {

// A bitmap file of `width` x `height` with `bits` per pixel whose pixel (x, y) in
// file order has blue x, green y, red 7. Negative height = top-down.
std::vector<std::uint8_t> MakeBmp(int width, int height, int bits, std::uint32_t compression = 0,
                                  std::size_t dropBytes = 0) {
  const int rows = height < 0 ? -height : height;
  const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
  ByteWriter out;
  out.Text("BM");
  out.U32LE(static_cast<std::uint32_t>(54 + stride * rows));
  out.U32LE(0);
  out.U32LE(54);
  out.U32LE(40);
  out.U32LE(static_cast<std::uint32_t>(width));
  out.U32LE(static_cast<std::uint32_t>(height));
  out.U16LE(1);
  out.U16LE(static_cast<std::uint16_t>(bits));
  out.U32LE(compression);
  out.Fill(20, 0);
  for (int row = 0; row < rows; ++row) {
    std::size_t written = 0;
    for (int x = 0; x < width; ++x) {
      out.U8(static_cast<std::uint8_t>(x));
      out.U8(static_cast<std::uint8_t>(row));
      out.U8(7);
      if (bits == 32) out.U8(255);
      written += bits / 8;
    }
    out.Fill(stride - written, 0xEE);
  }
  auto bytes = out.Take();
  bytes.resize(bytes.size() - dropBytes);
  return bytes;
}

TEST(DecodeBmp, BottomUpRowsWithPaddingComeOutTopRowFirst) {
  // Width 3 at 24 bits: 9 bytes of pixels and 3 of padding a row.
  const auto picture = DecodeBmp(MakeBmp(3, 2, 24));
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Width, 3);
  EXPECT_EQ(picture->Height, 2);
  ASSERT_EQ(picture->Pixels.size(), 18u);
  // The file's first row is the picture's bottom row.
  EXPECT_EQ(picture->Pixels[0 * 9 + 2 * 3 + 0], 2);  // top row, x = 2: blue
  EXPECT_EQ(picture->Pixels[0 * 9 + 2 * 3 + 1], 1);  // file row 1
  EXPECT_EQ(picture->Pixels[1 * 9 + 0 * 3 + 1], 0);
  EXPECT_EQ(picture->Pixels[1 * 9 + 0 * 3 + 2], 7);
}

TEST(DecodeBmp, TopDownThirtyTwoBitDropsAlpha) {
  for (std::uint32_t compression : {0u, 3u}) {
    const auto picture = DecodeBmp(MakeBmp(2, -3, 32, compression));
    ASSERT_TRUE(picture) << compression;
    ASSERT_EQ(picture->Pixels.size(), 18u);
    EXPECT_EQ(picture->Pixels[2 * 6 + 1 * 3 + 0], 1);
    EXPECT_EQ(picture->Pixels[2 * 6 + 1 * 3 + 1], 2);  // top-down: file row = picture row
  }
}

TEST(DecodeBmp, RefusesWhatItCannotReadWhole) {
  EXPECT_FALSE(DecodeBmp(MakeBmp(4, 4, 24, 0, 1)));   // last row cut short
  EXPECT_FALSE(DecodeBmp(MakeBmp(4, 4, 8)));          // palette bitmap
  EXPECT_FALSE(DecodeBmp(MakeBmp(4, 4, 24, 1)));      // run-length compressed
  EXPECT_FALSE(DecodeBmp(MakeBmp(4, 4, 24, 3)));      // bit fields only go with 32 bits
  EXPECT_FALSE(DecodeBmp(MakeBmp(0, 4, 24)));
  EXPECT_FALSE(DecodeBmp(MakeBmp(4, 0, 24)));
  EXPECT_FALSE(DecodeBmp(MakeBmp(16385, 1, 24)));
  auto badHeight = MakeBmp(1, 1, 24);
  badHeight[22] = 0, badHeight[23] = 0, badHeight[24] = 0, badHeight[25] = 0x80;  // INT32_MIN
  EXPECT_FALSE(DecodeBmp(badHeight));
  auto notBm = MakeBmp(1, 1, 24);
  notBm[0] = 'X';
  EXPECT_FALSE(DecodeBmp(notBm));
  EXPECT_FALSE(DecodeBmp({}));
}

}  // namespace
