#pragma once
// Folders the tests work in.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// The source tree and the build tree: TRESSARY_SOURCE_DIR / TRESSARY_BUILD_DIR when
// set, else the folders this build was configured with.
fs::path SourceDir();
fs::path BuildDir();

// A fresh, empty folder removed when the object goes.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& Path() const { return path_; }
  fs::path operator/(const std::string& name) const { return path_ / name; }

 private:
  fs::path path_;
};

// Writes bytes to a file (creating folders), for test fixtures.
void WriteTestFile(const fs::path& path, const std::string& bytes);
// Writes the first `numerator` / `denominator` of the file `from` to `to`: a file
// cut short, as an interrupted copy or download leaves it. False when `from`
// cannot be read.
bool WriteCutCopy(const fs::path& from, const fs::path& to, int numerator, int denominator);
// Runs a command line through /bin/sh; returns its exit status and fills `output`
// with what it printed on standard output.
int RunCommand(const std::string& commandLine, std::string* output = nullptr);
// An environment variable set (or, for nullopt, unset) for the object's life.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};
