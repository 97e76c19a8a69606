#pragma once
// The program's sources read as text, for the tests that hold what ships (texts,
// settings, pages) against what the code asks for. Not a C++ parser: comments are
// blanked, string literals collected, and a name passed to a call is followed to
// the literals it can stand for (a constant, a literal list a loop walks, a field
// of a table a loop walks, a parameter of a function called with those).
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct TSourceFile {
  std::string Name;  // the path below the scanned folder
  std::string Code;  // comments and literal contents blanked (the quotes stay)
  struct TLiteral {
    std::size_t At;  // offset of the opening quote in Code
    std::string Text;
  };
  std::vector<TLiteral> Literals;
  struct TBody {
    std::string Name;  // the function's own name, without its class
    std::size_t ParamsOpen, BodyOpen, BodyClose;
  };
  std::vector<TBody> Bodies;  // of the functions (not of the lambdas inside them)

  int LineOf(std::size_t at) const;
};

// One call found in the sources: where it is and the values its chosen argument
// can take (none when it could not be followed to literals).
struct TCallValues {
  const TSourceFile* File;
  std::size_t At;
  std::vector<std::string> Values;
};

class TSourceScan {
 public:
  // Every .cpp and .h below `folder`.
  explicit TSourceScan(const std::filesystem::path& folder);

  const std::vector<TSourceFile>& Files() const { return files_; }
  // The calls of `function` (a plain name; a method call matches too) and the values
  // of their argument `index` (0-based); calls with fewer arguments are left out.
  std::vector<TCallValues> CallArgument(std::string_view function, std::size_t index) const;
  // The values of the argument `index` of the call whose "(" is at `open` in `file`.
  TCallValues ArgumentOf(const TSourceFile& file, std::size_t open, std::size_t index) const;
  // The values the arguments `first` and `second` of that call take together (both
  // passed on by a function are paired as each of its callers pairs them).
  std::vector<std::pair<std::string, std::string>> ArgumentPairs(const TSourceFile& file, std::size_t open,
                                                                 std::size_t first, std::size_t second,
                                                                 int depth = 0) const;

 private:
  struct TCallSite {
    const TSourceFile* File;
    std::size_t Open;  // the call's "("
  };
  const std::vector<TCallSite>& CallSites(const std::string& function) const;
  std::vector<std::string> Resolve(const TSourceFile& file, std::size_t at, std::string_view arg, int depth) const;
  // The values of the items of the brace list at `open`.
  std::vector<std::string> ResolveItems(const TSourceFile& file, std::size_t open, int depth) const;
  std::vector<std::string> ResolveName(const TSourceFile& file, std::size_t at, std::string_view name, int depth) const;
  std::vector<std::string> ResolveField(const TSourceFile& file, std::size_t at, std::string_view range,
                                        std::string_view field, int depth) const;
  std::vector<std::string> TableColumn(const TSourceFile& near, std::string_view table, std::string_view type,
                                       std::string_view field) const;

  std::vector<TSourceFile> files_;
  mutable std::map<std::string, std::vector<TCallSite>> callSites_;
};
