#include "platform/Scanner.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/TestPaths.h"

// SANE's test backend now and then leaks a reader buffer when its reader thread is
// cancelled. The module stays loaded (see below) so the leak checker can name it,
// and only that module's leaks are let through.
extern "C" const char* __lsan_default_suppressions() { return "leak:libsane-test.so\n"; }

namespace {

void KeepTestBackendLoaded() {
  static void* const module = [] {
    void* handle = nullptr;
    for (const char* path : {"/usr/lib/x86_64-linux-gnu/sane/libsane-test.so.1", "/usr/lib/sane/libsane-test.so.1"})
      if (!handle) handle = dlopen(path, RTLD_NOW | RTLD_NODELETE);
    return handle;
  }();
  (void)module;
}

// SANE with only its "test" backend, configured in a private folder.
class SaneTestBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    KeepTestBackendLoaded();
    WriteTestFile(config_ / "dll.conf", "test\n");
    setenv("SANE_CONFIG_DIR", config_.Path().c_str(), 1);
  }
  void TearDown() override { unsetenv("SANE_CONFIG_DIR"); }

  // 100 dpi over 51 x 25 mm: 200 x 98 pixels.
  static std::vector<TScanOption> Area(const std::string& mode) {
    return {{"mode", mode}, {"resolution", "100"}, {"br-x", "51"}, {"br-y", "25"},
            {"test-picture", "Color pattern"}};
  }

  // The samples of a binary PNM file written by scanimage, the independent judge.
  std::string ScanimageSamples(const std::string& arguments) {
    const fs::path out = config_ / "judge.pnm";
    // scanimage itself now and then stalls on the test device's reader; a stalled
    // run is cut short and tried again rather than holding the whole suite.
    const std::string command = "SANE_CONFIG_DIR=" + config_.Path().string() +
                                " timeout -k 2 10 scanimage -d test:0 " + arguments + " -o " + out.string() +
                                " 2>/dev/null";
    int status = -1;
    for (int attempt = 0; attempt < 3 && status != 0; ++attempt) status = RunCommand(command);
    if (status != 0) return {};
    std::ifstream in(out, std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maxValue = 0;
    in >> magic;
    for (int* field : {&width, &height, &maxValue}) {
      in >> std::ws;
      while (in.peek() == '#') in.ignore(1 << 20, '\n') >> std::ws;
      in >> *field;
    }
    in.get();
    std::stringstream rest;
    rest << in.rdbuf();
    return rest.str();
  }

  // SANE finds its configuration folder once in a process and keeps it: one
  // folder, alive for the whole run, serves every test in whatever order.
  static TempFolder& Config() {
    static TempFolder folder;
    return folder;
  }
  TempFolder& config_ = Config();
};

TEST_F(SaneTestBackend, ListsOnlyTheTestDevices) {
  TSaneScanner scanner;
  ASSERT_TRUE(scanner.Ready());
  const auto devices = scanner.Devices();
  ASSERT_FALSE(devices.empty());
  for (const auto& device : devices) EXPECT_EQ(device.Name.rfind("test:", 0), 0u) << device.Name;
}

TEST_F(SaneTestBackend, ColourAndGreyScansHaveTheAreaSizeAndScanimagesPixels) {
  TSaneScanner scanner;
  for (const std::string mode : {"Color", "Gray"}) {
    const TScanResult result = scanner.Scan("test:0", Area(mode));
    ASSERT_EQ(result.Status, TScanStatus::Scanned) << mode << ": " << result.Error;
    EXPECT_EQ(result.Image.Width, 200) << mode;
    EXPECT_EQ(result.Image.Height, 98) << mode;
    EXPECT_EQ(result.Image.Color, mode == "Color");
    const std::string judge =
        ScanimageSamples("--mode " + mode + " --resolution 100 -x 51 -y 25 --test-picture 'Color pattern'");
    ASSERT_FALSE(judge.empty());
    EXPECT_EQ(std::string(result.Image.Samples.begin(), result.Image.Samples.end()), judge) << mode;
  }
}

TEST_F(SaneTestBackend, ThreePassColourAndSixteenBitGreyArriveAsEightBitSamples) {
  TSaneScanner scanner;
  auto threePass = Area("Color");
  threePass.push_back({"three-pass", "yes"});
  const TScanResult colour = scanner.Scan("test:0", threePass);
  ASSERT_EQ(colour.Status, TScanStatus::Scanned) << colour.Error;
  EXPECT_EQ(colour.Image.Samples.size(), 200u * 98u * 3u);
  EXPECT_EQ(std::string(colour.Image.Samples.begin(), colour.Image.Samples.end()),
            ScanimageSamples("--mode Color --three-pass=yes --resolution 100 -x 51 -y 25 --test-picture 'Color pattern'"));

  auto deep = Area("Gray");
  deep.push_back({"depth", "16"});
  const TScanResult grey = scanner.Scan("test:0", deep);
  ASSERT_EQ(grey.Status, TScanStatus::Scanned) << grey.Error;
  EXPECT_EQ(grey.Image.Samples.size(), 200u * 98u);
}

// The test device stops its reader thread abruptly when a scan ends early, which
// can leave the C library's allocator locked for the next scan of the same process:
// each early end runs in its own test (ctest gives each its own process) over an
// area small enough for the reader to be done at once.
std::vector<TScanOption> EndedEarly(const std::string& readReturnValue) {
  return {{"mode", "Gray"}, {"resolution", "50"}, {"br-x", "2"}, {"br-y", "2"},
          {"read-return-value", readReturnValue}};
}

TEST_F(SaneTestBackend, ADeviceErrorIsAFailureWithItsReason) {
  TSaneScanner scanner;
  const TScanResult failed = scanner.Scan("test:0", EndedEarly("SANE_STATUS_JAMMED"));
  EXPECT_EQ(failed.Status, TScanStatus::Failed);
  EXPECT_EQ(failed.Error, "Document feeder jammed");
}

TEST_F(SaneTestBackend, ACancelIsNotAFailure) {
  TSaneScanner scanner;
  EXPECT_EQ(scanner.Scan("test:0", EndedEarly("SANE_STATUS_CANCELLED")).Status, TScanStatus::Cancelled);
}

TEST_F(SaneTestBackend, AMissingDeviceIsAFailureWithAReason) {
  TSaneScanner scanner;
  const TScanResult missing = scanner.Scan("nosuch:0", {});
  EXPECT_EQ(missing.Status, TScanStatus::Failed);
  EXPECT_FALSE(missing.Error.empty());
}

TEST_F(SaneTestBackend, AModeTheDeviceDoesNotOfferIsSkipped) {
  TSaneScanner scanner;
  auto options = Area("Color");
  options[0].Value = "Lineart";  // the test device offers Gray and Color only; its default is Gray
  const TScanResult result = scanner.Scan("test:0", options);
  ASSERT_EQ(result.Status, TScanStatus::Scanned) << result.Error;
  EXPECT_FALSE(result.Image.Color);
}

TEST(ScanFrames, LineArtBitsAreBlackAndPartialLinesAreDropped) {
  TScanImage image;
  // 10 pixels a line in 2 bytes, padded to 3; the last line is incomplete.
  const std::vector<std::uint8_t> bytes = {0b10000000, 0b01000000, 0xEE, 0xFF, 0xC0, 0xEE, 0x00};
  ASSERT_TRUE(AddScanFrame(image, {TScanFrame::Gray, 1, 10, 3}, bytes, 1000));
  EXPECT_EQ(image.Height, 2);
  EXPECT_EQ(image.Samples[0], 0);
  EXPECT_EQ(image.Samples[1], 255);
  EXPECT_EQ(image.Samples[9], 0);
  EXPECT_EQ(image.Samples[10], 0);
  EXPECT_EQ(image.Samples[19], 0);
}

TEST(ScanFrames, PlanesMustMatchTheFirstFrameAndFormatsMustFit) {
  TScanImage image;
  const std::vector<std::uint8_t> red = {1, 2, 3, 4};
  ASSERT_TRUE(AddScanFrame(image, {TScanFrame::Red, 8, 2, 2}, red, 1000));
  ASSERT_TRUE(AddScanFrame(image, {TScanFrame::Blue, 8, 2, 2}, red, 1000));
  EXPECT_EQ(image.Samples, (std::vector<std::uint8_t>{1, 0, 1, 2, 0, 2, 3, 0, 3, 4, 0, 4}));
  EXPECT_FALSE(AddScanFrame(image, {TScanFrame::Green, 8, 3, 3}, red, 1000));   // other width
  EXPECT_FALSE(AddScanFrame(image, {TScanFrame::Green, 8, 2, 2}, {red.data(), 2}, 1000));  // too few lines
  EXPECT_FALSE(AddScanFrame(image, {TScanFrame::Gray, 8, 2, 2}, red, 1000));    // not a plane

  TScanImage other;
  EXPECT_FALSE(AddScanFrame(other, {TScanFrame::Rgb, 8, 2, 5}, red, 1000));    // line shorter than 2 pixels
  EXPECT_FALSE(AddScanFrame(other, {TScanFrame::Gray, 4, 2, 2}, red, 1000));   // depth
  EXPECT_FALSE(AddScanFrame(other, {TScanFrame::Gray, 8, 2, 2}, red, 3));      // over the cap
  EXPECT_TRUE(other.Samples.empty());
}

}  // namespace
