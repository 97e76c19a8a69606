// Stream compression, judged by Python's zlib in both directions.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "picture/Compression.h"
#include "platform/ByteStream.h"
#include "platform/FileIO.h"
#include "support/TestPaths.h"

namespace {
std::vector<std::uint8_t> Noise(std::size_t n, unsigned seed) {
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> v(n);
  for (auto& b : v) b = static_cast<std::uint8_t>(rng() % 7 == 0 ? rng() : b);  // mixed runs and noise
  return v;
}
}  // namespace

TEST(Compression, RoundTripsEmptySmallAndMultiBlockData) {
  for (std::size_t n : {std::size_t(0), std::size_t(1), std::size_t(4095), std::size_t(4096), std::size_t(4097),
                        std::size_t(300000)}) {
    auto data = Noise(n, static_cast<unsigned>(n));
    auto packed = CompressStream(data);
    ASSERT_GE(packed.size(), 2u);
    EXPECT_EQ(packed[0] & 0x0f, 8) << "deflate method in the zlib header";
    auto back = DecompressStream(packed);
    ASSERT_TRUE(back.has_value()) << n;
    EXPECT_EQ(*back, data) << n;
  }
}

TEST(Compression, RefusesNonZlibTruncatedAndDamagedStreams) {
  EXPECT_FALSE(DecompressStream({}).has_value());
  EXPECT_FALSE(DecompressStream(AsBytes("this is not a zlib stream")).has_value());
  auto packed = CompressStream(Noise(20000, 3));
  for (std::size_t cut : {std::size_t(1), packed.size() / 2, packed.size() - 1}) {
    std::vector<std::uint8_t> part(packed.begin(), packed.begin() + static_cast<long>(cut));
    EXPECT_FALSE(DecompressStream(part).has_value()) << "cut at " << cut;
  }
  auto damaged = packed;
  damaged[damaged.size() - 2] ^= 0x55;  // Adler-32 no longer matches
  EXPECT_FALSE(DecompressStream(damaged).has_value());
}

TEST(Compression, CapsTheOutputOfAHostileStream) {
  std::vector<std::uint8_t> zeros(10 << 20, 0);
  auto bomb = CompressStream(zeros);
  EXPECT_LT(bomb.size(), 20000u);
  EXPECT_FALSE(DecompressStream(bomb, 1 << 20).has_value());
  EXPECT_FALSE(DecompressStream(bomb, zeros.size() - 1).has_value());
  auto exact = DecompressStream(bomb, zeros.size());
  ASSERT_TRUE(exact.has_value());
  EXPECT_EQ(exact->size(), zeros.size());
}

TEST(Compression, IgnoresBytesAfterTheEndOfTheStream) {
  auto packed = CompressStream(AsBytes("hello"));
  packed.push_back(0xEE);
  packed.push_back(0x01);
  auto back = DecompressStream(packed);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(std::string(back->begin(), back->end()), "hello");
}

TEST(Compression, InteroperatesWithPythonZlib) {
  TempFolder dir;
  auto data = Noise(70000, 11);
  ASSERT_TRUE(WriteFileAtomic(dir / "ours.z", CompressStream(data)));
  ASSERT_TRUE(WriteFileAtomic(dir / "plain.bin", data));
  std::string script =
      "import zlib,sys\n"
      "d=sys.argv[1]\n"
      "plain=open(d+'/plain.bin','rb').read()\n"
      "assert zlib.decompress(open(d+'/ours.z','rb').read())==plain\n"
      "open(d+'/theirs.z','wb').write(zlib.compress(plain,6))\n"
      "print('ok')\n";
  WriteTestFile(dir / "judge.py", script);
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 " + (dir / "judge.py").string() + " " + dir.Path().string(), &out), 0);
  EXPECT_EQ(out, "ok\n");
  auto theirs = ReadFileBytes(dir / "theirs.z");
  ASSERT_TRUE(theirs.Ok());
  auto back = DecompressStream(*theirs);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, data);
}

// Parts compressed each its own way are one stream to any reader: dense bytes
// larger than the first guess at the output between parts that shrink, an empty
// part and a last part of a few bytes; the parts that shrink still shrink.
TEST(Compression, PartsEachTheirOwnWayMakeOneStream) {
  TempFolder dir;
  std::mt19937 rng(5);
  std::vector<std::uint8_t> dense(1 << 20);
  for (auto& b : dense) b = static_cast<std::uint8_t>(rng());
  const auto runs = Noise(300000, 3), tail = Noise(5, 4);
  const std::vector<std::uint8_t> none;
  const TStreamPart parts[] = {{runs}, {dense, true}, {none}, {runs}, {tail, true}};
  const auto packed = CompressStream(parts);
  std::vector<std::uint8_t> whole;
  for (const TStreamPart& part : parts) whole.insert(whole.end(), part.Bytes.begin(), part.Bytes.end());
  auto back = DecompressStream(packed);
  ASSERT_TRUE(back.has_value());
  EXPECT_TRUE(*back == whole);
  EXPECT_LT(packed.size(), dense.size() + runs.size()) << "the runs did not shrink";
  ASSERT_TRUE(WriteFileAtomic(dir / "parts.z", packed));
  ASSERT_TRUE(WriteFileAtomic(dir / "plain.bin", whole));
  WriteTestFile(dir / "judge.py",
                "import zlib,sys\n"
                "d=sys.argv[1]\n"
                "assert zlib.decompress(open(d+'/parts.z','rb').read())==open(d+'/plain.bin','rb').read()\n"
                "print('ok')\n");
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 " + (dir / "judge.py").string() + " " + dir.Path().string(), &out), 0);
  EXPECT_EQ(out, "ok\n");
}
