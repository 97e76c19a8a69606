#include "support/TestPaths.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sys/wait.h>

fs::path SourceDir() {
  const char* dir = std::getenv("TRESSARY_SOURCE_DIR");
  return dir ? fs::path(dir) : fs::path(TRESSARY_TEST_SOURCE_DIR);
}

fs::path BuildDir() {
  const char* dir = std::getenv("TRESSARY_BUILD_DIR");
  return dir ? fs::path(dir) : fs::path(TRESSARY_TEST_BUILD_DIR);
}

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "tressary-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ec;
  // Tests may leave read-only folders behind; make them writable before removal.
  for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec))
    fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
  fs::remove_all(path_, ec);
}

void WriteTestFile(const fs::path& path, const std::string& bytes) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

int RunCommand(const std::string& commandLine, std::string* output) {
  FILE* pipe = popen(commandLine.c_str(), "r");
  if (!pipe) return -1;
  std::array<char, 4096> buffer;
  std::string text;
  while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe)) text.append(buffer.data(), n);
  int status = pclose(pipe);
  if (output) *output = text;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool WriteCutCopy(const fs::path& from, const fs::path& to, int numerator, int denominator) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  WriteTestFile(to, bytes.substr(0, bytes.size() * std::size_t(numerator) / std::size_t(denominator)));
  return true;
}

ScopedEnv::ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
  if (const char* old = std::getenv(name)) old_ = old;
  if (value) setenv(name, value->c_str(), 1);
  else unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  if (old_) setenv(name_, old_->c_str(), 1);
  else unsetenv(name_);
}
