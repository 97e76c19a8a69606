#include "picture/PlainFormats.h"

#include <vector>

#include "platform/ByteStream.h"

namespace {
constexpr std::uint32_t kBmpHeadersSize = 14 + 40;

// Row y's colour as B, G, R bytes, then `padding` zero bytes.
void BgrRow(const TBitmap32& bitmap, int y, std::size_t padding, std::vector<std::uint8_t>& row) {
  const std::size_t width = std::size_t(bitmap.Width());
  row.assign(width * 3 + padding, 0);
  const std::uint8_t* p = bitmap.Row(y);
  std::uint8_t* out = row.data();
  for (std::size_t x = 0; x < width; ++x, p += 4, out += 3) {
    out[0] = p[0];
    out[1] = p[1];
    out[2] = p[2];
  }
}

// Bottom-up rows of B, G, R bytes, each padded to `rowBytes`.
bool WriteBgrRowsBottomUp(const TBitmap32& bitmap, std::size_t rowBytes, TFileWriter& file) {
  std::vector<std::uint8_t> row;
  for (int y = bitmap.Height() - 1; y >= 0; --y) {
    BgrRow(bitmap, y, rowBytes - std::size_t(bitmap.Width()) * 3, row);
    if (!file.Append(row)) return false;
  }
  return true;
}

// One plane of a row, run-length coded: a run (up to 63) or a byte that would
// read as a count (two top bits set) is a count byte and the value.
void PackPcxPlane(const std::uint8_t* first, std::size_t count, std::vector<std::uint8_t>& out) {
  std::size_t x = 0;
  while (x < count) {
    const std::uint8_t value = first[x * 4];
    std::uint8_t run = 1;
    while (x + run < count && run < 63 && first[(x + run) * 4] == value) ++run;
    if (run > 1 || (value & 0xC0) == 0xC0) out.push_back(std::uint8_t(0xC0 | run));
    out.push_back(value);
    x += run;
  }
}
}  // namespace

bool WriteBmp(const TBitmap32& bitmap, int bits, std::uint32_t pixelsPerMetre, TFileWriter& file) {
  const std::size_t width = std::size_t(bitmap.Width());
  const std::size_t rowBytes = (width * std::size_t(bits / 8) + 3) / 4 * 4;
  const auto pixelBytes = static_cast<std::uint32_t>(rowBytes * std::size_t(bitmap.Height()));
  ByteWriter w;
  w.Text("BM");
  w.U32LE(kBmpHeadersSize + pixelBytes);
  w.U32LE(0);
  w.U32LE(kBmpHeadersSize);
  w.U32LE(40);
  w.U32LE(static_cast<std::uint32_t>(bitmap.Width()));
  w.U32LE(static_cast<std::uint32_t>(bitmap.Height()));  // positive: bottom-up
  w.U16LE(1);                                             // planes
  w.U16LE(static_cast<std::uint16_t>(bits));
  w.U32LE(0);  // BI_RGB
  w.U32LE(pixelBytes);
  w.U32LE(pixelsPerMetre);
  w.U32LE(pixelsPerMetre);
  w.U32LE(0);
  w.U32LE(0);
  if (!file.Append(w.Data())) return false;
  if (bits == 24) return WriteBgrRowsBottomUp(bitmap, rowBytes, file);
  for (int y = bitmap.Height() - 1; y >= 0; --y)
    if (!file.Append({bitmap.Row(y), bitmap.Stride()})) return false;
  return true;
}

bool WriteTga24(const TBitmap32& bitmap, TFileWriter& file) {
  ByteWriter w;
  w.U8(0);  // no image id
  w.U8(0);  // no colour map
  w.U8(2);  // uncompressed true colour
  w.Fill(5 + 4, 0);  // colour map spec, origin
  w.U16LE(static_cast<std::uint16_t>(bitmap.Width()));
  w.U16LE(static_cast<std::uint16_t>(bitmap.Height()));
  w.U8(24);
  w.U8(0);  // no alpha bits, bottom-up
  return file.Append(w.Data()) && WriteBgrRowsBottomUp(bitmap, std::size_t(bitmap.Width()) * 3, file);
}

bool WritePcx24(const TBitmap32& bitmap, TFileWriter& file) {
  ByteWriter w;
  w.U8(0x0A);
  w.U8(5);  // version
  w.U8(1);  // run-length coded
  w.U8(8);  // bits a plane
  w.U16LE(0);
  w.U16LE(0);
  w.U16LE(static_cast<std::uint16_t>(bitmap.Width() - 1));
  w.U16LE(static_cast<std::uint16_t>(bitmap.Height() - 1));
  w.Fill(4 + 48 + 1, 0);  // resolution, 16-colour map, reserved
  w.U8(3);                // planes
  w.U16LE(static_cast<std::uint16_t>(bitmap.Width()));
  w.U16LE(1);  // colour palette
  w.Fill(58, 0);
  if (!file.Append(w.Data())) return false;
  std::vector<std::uint8_t> row;
  for (int y = 0; y < bitmap.Height(); ++y) {
    row.clear();
    for (int plane = 2; plane >= 0; --plane) PackPcxPlane(bitmap.Row(y) + plane, std::size_t(bitmap.Width()), row);
    if (!file.Append(row)) return false;
  }
  row.assign(1 + 768, 0);
  row[0] = 0x0C;
  return file.Append(row);
}
