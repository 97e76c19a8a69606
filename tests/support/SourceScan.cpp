#include "support/SourceScan.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <regex>

namespace fs = std::filesystem;

namespace {

bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool IsName(std::string_view text) {
  return !text.empty() && !std::isdigit(static_cast<unsigned char>(text[0])) &&
         std::all_of(text.begin(), text.end(), IsWordChar);
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
  return text;
}

// Blanks comments and the insides of literals, keeping every offset and line break.
TSourceFile Lex(std::string text, std::string name) {
  TSourceFile file{std::move(name), text, {}, {}};
  std::string& code = file.Code;
  auto blank = [&code](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to && i < code.size(); ++i)
      if (code[i] != '\n') code[i] = ' ';
  };
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    if (c == '/' && next == '/') {
      const std::size_t end = std::min(text.find('\n', i), text.size());
      blank(i, end);
      i = end;
    } else if (c == '/' && next == '*') {
      const std::size_t end = std::min(text.find("*/", i + 2), text.size() - 2) + 2;
      blank(i, end);
      i = end;
    } else if (c == '\'' && (i == 0 || !IsWordChar(text[i - 1]))) {
      // A character literal (a digit separator follows a digit and is left alone).
      std::size_t end = i + 1;
      while (end < text.size() && text[end] != '\'') end += text[end] == '\\' ? 2 : 1;
      blank(i, end + 1);
      i = end + 1;
    } else if (c == '"') {
      std::string value;
      std::size_t end = i + 1;
      while (end < text.size() && text[end] != '"' && text[end] != '\n') {
        if (text[end] == '\\' && end + 1 < text.size()) {
          const char escaped = text[end + 1];
          value += escaped == 'n' ? '\n' : escaped == 'r' ? '\r' : escaped == 't' ? '\t' : escaped;
          end += 2;
        } else {
          value += text[end++];
        }
      }
      file.Literals.push_back({i, value});
      blank(i + 1, end);
      i = end + 1;
    } else {
      ++i;
    }
  }
  return file;
}

// The offset of the bracket that closes the one at `open`, or npos.
std::size_t Closing(const std::string& code, std::size_t open) {
  int depth = 0;
  for (std::size_t i = open; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '(' || c == '[' || c == '{') ++depth;
    if (c == ')' || c == ']' || c == '}') {
      if (--depth == 0) return i;
    }
  }
  return std::string::npos;
}

struct TSpan {
  std::size_t Begin, End;
};

// The arguments between the bracket at `open` and its partner, split at the commas
// of their own level and trimmed.
std::vector<TSpan> Arguments(const std::string& code, std::size_t open) {
  const std::size_t close = Closing(code, open);
  std::vector<TSpan> args;
  if (close == std::string::npos) return args;
  int depth = 0;
  std::size_t start = open + 1;
  auto add = [&](std::size_t end) {
    std::size_t b = start, e = end;
    while (b < e && std::isspace(static_cast<unsigned char>(code[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(code[e - 1]))) --e;
    if (e > b) args.push_back({b, e});
  };
  for (std::size_t i = open + 1; i < close; ++i) {
    const char c = code[i];
    if (c == '(' || c == '[' || c == '{') ++depth;
    if (c == ')' || c == ']' || c == '}') --depth;
    if (c == ',' && depth == 0) {
      add(i);
      start = i + 1;
    }
  }
  add(close);
  return args;
}

// The bodies of the functions of `code` (not those of lambdas inside them): braces
// of namespaces, classes and initialisers are not bodies.
std::vector<TSourceFile::TBody> FunctionBodies(const std::string& code) {
  std::vector<TSourceFile::TBody> bodies;
  std::vector<bool> open;     // per open brace: a body or inside one
  std::size_t statement = 0;  // where the text before the next "{" starts
  for (std::size_t i = 0; i < code.size(); ++i) {
    const char c = code[i];
    if (c == '{') {
      bool body = false;
      if (std::find(open.begin(), open.end(), true) == open.end()) {
        const std::string head(Trimmed(std::string_view(code).substr(statement, i - statement)));
        static const std::regex container(R"(\b(namespace|struct|class|enum|union|extern)\b)");
        const std::size_t paren = head.find('(');
        const std::size_t equals = head.find('=');
        body = paren != std::string::npos && !std::regex_search(head.substr(0, paren), container) &&
               (equals == std::string::npos || equals > paren);
        if (body) {
          // The header: back from the "{" to the "(" of the parameters.
          const std::size_t close = code.rfind(')', i);
          int depth = 0;
          std::size_t p = close == std::string::npos ? 0 : close + 1;
          bool found = false;
          while (!found && p-- > 0) {
            if (code[p] == ')') ++depth;
            found = code[p] == '(' && --depth == 0;
          }
          if (!found) {
            open.push_back(false);
            statement = i + 1;
            continue;
          }
          std::size_t nameEnd = p;
          while (nameEnd > 0 && std::isspace(static_cast<unsigned char>(code[nameEnd - 1]))) --nameEnd;
          std::size_t nameBegin = nameEnd;
          while (nameBegin > 0 && IsWordChar(code[nameBegin - 1])) --nameBegin;
          bodies.push_back({code.substr(nameBegin, nameEnd - nameBegin), p, i, Closing(code, i)});
        }
      }
      open.push_back(body);
      statement = i + 1;
    } else if (c == '}') {
      if (!open.empty()) open.pop_back();
      statement = i + 1;
    } else if (c == ';') {
      statement = i + 1;
    }
  }
  return bodies;
}

using TFunction = TSourceFile::TBody;

// The function whose body holds `at`.
std::optional<TFunction> Enclosing(const TSourceFile& file, std::size_t at) {
  for (const TFunction& body : file.Bodies)
    if (body.BodyOpen < at && at < body.BodyClose) return body;
  return std::nullopt;
}

// The name a declaration declares: its last word before "=", "{" or "(" of a default.
std::string DeclaredName(std::string_view declaration) {
  declaration = Trimmed(declaration.substr(0, std::min(declaration.find('='), declaration.size())));
  std::size_t end = declaration.size();
  while (end > 0 && !IsWordChar(declaration[end - 1])) --end;
  std::size_t begin = end;
  while (begin > 0 && IsWordChar(declaration[begin - 1])) --begin;
  return std::string(declaration.substr(begin, end - begin));
}

// The type a declaration names, without "const", "&" and "*".
std::string DeclaredType(std::string_view declaration) {
  static const std::regex type(R"(^(?:const\s+)?(?:\w+::)*(\w+))");
  std::match_results<std::string_view::const_iterator> m;
  const std::string_view d = Trimmed(declaration);
  return std::regex_search(d.begin(), d.end(), m, type) ? m[1].str() : std::string();
}

// Longer expressions are not followed: no key or section is spelt that way, and
// the regular expressions recurse per character.
constexpr std::size_t kLongestExpression = 200;

bool IsDeclaration(std::string_view arg) {
  if (arg.size() > kLongestExpression) return false;
  static const std::regex declaration(R"(\w[\w:<>]*[\s&*]+\w+\s*(=.*)?$)");
  const std::string text(arg);
  return std::regex_match(text, declaration) && text.find('.') == std::string::npos;
}

// The places of the word `word` in `code` followed (after blanks) by `next`: the
// offsets of `next`.
std::vector<std::size_t> WordsFollowedBy(const std::string& code, const std::string& word, char next) {
  std::vector<std::size_t> places;
  for (std::size_t at = code.find(word); at != std::string::npos; at = code.find(word, at + 1)) {
    if ((at > 0 && IsWordChar(code[at - 1])) || (at + word.size() < code.size() && IsWordChar(code[at + word.size()])))
      continue;
    std::size_t i = at + word.size();
    while (i < code.size() && std::isspace(static_cast<unsigned char>(code[i]))) ++i;
    if (i < code.size() && code[i] == next) places.push_back(i);
  }
  return places;
}

// The literal `name` is set to in `file` (`name = "..."` or `name[] = "..."`).
std::optional<std::string> ConstantIn(const TSourceFile& file, const std::string& name) {
  const std::string& code = file.Code;
  for (std::size_t at = code.find(name); at != std::string::npos; at = code.find(name, at + 1)) {
    if ((at > 0 && IsWordChar(code[at - 1])) || (at + name.size() < code.size() && IsWordChar(code[at + name.size()])))
      continue;
    std::size_t i = at + name.size();
    auto skipBlanks = [&] {
      while (i < code.size() && std::isspace(static_cast<unsigned char>(code[i]))) ++i;
    };
    skipBlanks();
    if (i + 1 < code.size() && code[i] == '[') {
      ++i;
      skipBlanks();
      if (i >= code.size() || code[i] != ']') continue;
      ++i;
      skipBlanks();
    }
    if (i >= code.size() || code[i] != '=' || (i + 1 < code.size() && code[i + 1] == '=')) continue;
    ++i;
    skipBlanks();
    if (i >= code.size() || code[i] != '"') continue;
    for (const auto& literal : file.Literals)
      if (literal.At == i) return literal.Text;
  }
  return std::nullopt;
}

}  // namespace

int TSourceFile::LineOf(std::size_t at) const {
  return 1 + static_cast<int>(std::count(Code.begin(), Code.begin() + std::min(at, Code.size()), '\n'));
}

TSourceScan::TSourceScan(const fs::path& folder) {
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    files_.push_back(Lex(std::move(text), fs::relative(entry.path(), folder).generic_string()));
    files_.back().Bodies = FunctionBodies(files_.back().Code);
  }
  std::sort(files_.begin(), files_.end(), [](const TSourceFile& a, const TSourceFile& b) { return a.Name < b.Name; });
}

const std::vector<TSourceScan::TCallSite>& TSourceScan::CallSites(const std::string& function) const {
  auto found = callSites_.find(function);
  if (found != callSites_.end()) return found->second;
  std::vector<TCallSite>& sites = callSites_[function];
  for (const TSourceFile& file : files_)
    for (std::size_t at : WordsFollowedBy(file.Code, function, '(')) sites.push_back({&file, at});
  return sites;
}

std::vector<TCallValues> TSourceScan::CallArgument(std::string_view function, std::size_t index) const {
  std::vector<TCallValues> calls;
  for (const TCallSite& site : CallSites(std::string(function))) {
    const std::vector<TSpan> args = Arguments(site.File->Code, site.Open);
    if (args.size() <= index) continue;
    const std::string_view arg =
        std::string_view(site.File->Code).substr(args[index].Begin, args[index].End - args[index].Begin);
    if (IsDeclaration(arg)) continue;  // the function's own declaration or definition
    calls.push_back(ArgumentOf(*site.File, site.Open, index));
  }
  return calls;
}

TCallValues TSourceScan::ArgumentOf(const TSourceFile& file, std::size_t open, std::size_t index) const {
  TCallValues result{&file, open, {}};
  const std::vector<TSpan> args = Arguments(file.Code, open);
  if (args.size() <= index) return result;
  result.Values =
      Resolve(file, args[index].Begin,
              std::string_view(file.Code).substr(args[index].Begin, args[index].End - args[index].Begin), 0);
  return result;
}

std::vector<std::string> TSourceScan::Resolve(const TSourceFile& file, std::size_t at, std::string_view arg,
                                              int depth) const {
  arg = Trimmed(arg);
  if (depth > 4 || arg.size() > kLongestExpression) return {};
  // A literal alone (the blanked code keeps its quotes).
  if (arg.size() >= 2 && arg.front() == '"' && arg.find('"', 1) == arg.size() - 1) {
    for (const auto& literal : file.Literals)
      if (literal.At == at) return {literal.Text};
    return {};
  }
  // Conversions that keep the text.
  static const std::regex wrapped(R"(^(?:std::string(?:_view)?|QString::fromStdString|QString::fromUtf8)\s*\((.*)\)$)");
  static const std::regex suffixed(R"(^(.*)\.(?:c_str|data)\(\)$)");
  std::match_results<std::string_view::const_iterator> m;
  if ((std::regex_match(arg.begin(), arg.end(), m, wrapped) || std::regex_match(arg.begin(), arg.end(), m, suffixed)) &&
      m[1].length() > 0)
    return Resolve(file, at + (m[1].first - arg.begin()), std::string_view(&*m[1].first, m[1].length()), depth);
  // A field of a table row: `row.Field` (a loop's row) or `kTable[i].Field`.
  static const std::regex field(R"(^(\w+)(?:\[[^\]]*\])?(?:\.|->)(\w+)$)");
  if (std::regex_match(arg.begin(), arg.end(), m, field)) {
    return ResolveField(file, at, m[1].str(), m[2].str(), depth);
  }
  if (IsName(arg)) return ResolveName(file, at, arg, depth);
  // An element of an array of literals: `keys[i]` with `const char* keys[4] = {"A", ...}`.
  static const std::regex element(R"(^(\w+)\[[^\]]*\]$)");
  if (std::regex_match(arg.begin(), arg.end(), m, element)) {
    const std::regex array(R"(\b)" + m[1].str() + R"(\s*\[[^\]]*\]\s*=\s*\{)");
    std::smatch a;
    if (std::regex_search(file.Code, a, array)) return ResolveItems(file, a.position() + a.length() - 1, depth);
  }
  return {};
}

std::vector<std::string> TSourceScan::ResolveItems(const TSourceFile& file, std::size_t open, int depth) const {
  std::vector<std::string> values;
  for (const TSpan& item : Arguments(file.Code, open)) {
    const std::vector<std::string> v =
        Resolve(file, item.Begin, file.Code.substr(item.Begin, item.End - item.Begin), depth + 1);
    values.insert(values.end(), v.begin(), v.end());
  }
  return values;
}

std::vector<std::pair<std::string, std::string>> TSourceScan::ArgumentPairs(const TSourceFile& file, std::size_t open,
                                                                            std::size_t first, std::size_t second,
                                                                            int depth) const {
  std::vector<std::pair<std::string, std::string>> pairs;
  const std::vector<TSpan> args = Arguments(file.Code, open);
  if (args.size() <= std::max(first, second) || depth > 4) return pairs;
  auto text = [&](std::size_t i) { return file.Code.substr(args[i].Begin, args[i].End - args[i].Begin); };
  // Both passed on from the parameters of a function: as its callers pair them.
  if (const std::optional<TFunction> function = Enclosing(file, open)) {
    const std::vector<TSpan> params = Arguments(file.Code, function->ParamsOpen);
    std::optional<std::size_t> p1, p2;
    for (std::size_t p = 0; p < params.size(); ++p) {
      const std::string name = DeclaredName(file.Code.substr(params[p].Begin, params[p].End - params[p].Begin));
      if (name == text(first)) p1 = p;
      if (name == text(second)) p2 = p;
    }
    if (p1 && p2) {
      for (const TCallSite& site : CallSites(function->Name)) {
        const std::vector<TSpan> callArgs = Arguments(site.File->Code, site.Open);
        if (callArgs.size() <= std::max(*p1, *p2)) continue;
        if (IsDeclaration(site.File->Code.substr(callArgs[*p1].Begin, callArgs[*p1].End - callArgs[*p1].Begin)))
          continue;
        const auto more = ArgumentPairs(*site.File, site.Open, *p1, *p2, depth + 1);
        pairs.insert(pairs.end(), more.begin(), more.end());
      }
      return pairs;
    }
  }
  for (const std::string& a : Resolve(file, args[first].Begin, text(first), depth))
    for (const std::string& b : Resolve(file, args[second].Begin, text(second), depth)) pairs.emplace_back(a, b);
  return pairs;
}

std::vector<std::string> TSourceScan::ResolveName(const TSourceFile& file, std::size_t at, std::string_view name,
                                                  int depth) const {
  const std::string n(name);
  const std::optional<TFunction> function = Enclosing(file, at);
  if (function) {
    const std::string body = file.Code.substr(function->BodyOpen, at - function->BodyOpen);
    // The loop variable of a range-for over a literal list.
    const std::regex loop(R"(\bfor\s*\(((?:[^;:()]|::)*\b)" + n + R"()\s*:\s*)");
    std::smatch last;
    for (auto it = std::sregex_iterator(body.begin(), body.end(), loop); it != std::sregex_iterator(); ++it) last = *it;
    if (!last.empty()) {
      const std::size_t rangeAt = function->BodyOpen + last.position() + last.length();
      if (file.Code[rangeAt] == '{') return ResolveItems(file, rangeAt, depth);
    }
    // A local chosen among literals: `const char* key = face ? "A" : "B";`.
    const std::regex choice(R"(\b)" + n + R"(\s*=\s*([^;=][^;]*\?[^;]*);)");
    std::smatch chosen;
    for (auto it = std::sregex_iterator(body.begin(), body.end(), choice); it != std::sregex_iterator(); ++it)
      chosen = *it;
    if (!chosen.empty()) {
      std::vector<std::string> values;
      const std::size_t from = function->BodyOpen + chosen.position(1), to = from + chosen.length(1);
      for (const auto& literal : file.Literals)
        if (literal.At >= from && literal.At < to) values.push_back(literal.Text);
      if (!values.empty()) return values;
    }
    // A local copy of another value: `const std::string key(link.Key);`.
    const std::regex alias(R"(\b)" + n + R"(\s*(?:\(|\{|=)\s*("[^"\n]*"|[\w.\[\]>-]+)\s*[)};])");
    std::smatch copy;
    for (auto it = std::sregex_iterator(body.begin(), body.end(), alias); it != std::sregex_iterator(); ++it)
      copy = *it;
    if (!copy.empty() && copy[1].str() != n)
      return Resolve(file, function->BodyOpen + copy.position(1), copy[1].str(), depth + 1);
    // A parameter: the values the callers pass.
    const std::vector<TSpan> params = Arguments(file.Code, function->ParamsOpen);
    for (std::size_t p = 0; p < params.size(); ++p) {
      if (DeclaredName(file.Code.substr(params[p].Begin, params[p].End - params[p].Begin)) != n) continue;
      std::vector<std::string> values;
      for (const TCallSite& site : CallSites(function->Name)) {
        const TSourceFile& other = *site.File;
        const std::vector<TSpan> args = Arguments(other.Code, site.Open);
        if (args.size() <= p) continue;
        const std::string arg = other.Code.substr(args[p].Begin, args[p].End - args[p].Begin);
        if (IsDeclaration(arg)) continue;
        const std::vector<std::string> v = Resolve(other, args[p].Begin, arg, depth + 1);
        values.insert(values.end(), v.begin(), v.end());
      }
      return values;
    }
  }
  // A constant: `kSection[] = "..."` or `kTopics = "..."`, in this file or, for a
  // named constant ("kName") rather than some local of that name, in any other.
  if (std::optional<std::string> value = ConstantIn(file, n)) return {*value};
  if (n.size() > 1 && n[0] == 'k' && std::isupper(static_cast<unsigned char>(n[1])))
    for (const TSourceFile& f : files_)
      if (&f != &file)
        if (std::optional<std::string> value = ConstantIn(f, n)) return {*value};
  return {};
}

std::vector<std::string> TSourceScan::ResolveField(const TSourceFile& file, std::size_t at, std::string_view range,
                                                   std::string_view field, int depth) const {
  // `range` is a table itself, or a loop's variable over a table (or over a function
  // that returns one).
  std::string table(range), type;
  const std::optional<TFunction> function = Enclosing(file, at);
  if (function) {
    const std::string body = file.Code.substr(function->BodyOpen, at - function->BodyOpen);
    const std::regex loop(R"(\bfor\s*\(((?:[^;:()]|::)*\b)" + std::string(range) + R"()\s*:\s*([\w:]+)(\(\))?\s*\))");
    std::smatch last;
    for (auto it = std::sregex_iterator(body.begin(), body.end(), loop); it != std::sregex_iterator(); ++it) last = *it;
    if (!last.empty()) {
      type = DeclaredType(last[1].str());
      if (type == "auto") type.clear();
      table = last[2].str();
      if (last[3].matched) {
        // A function that returns the table.
        const std::regex returns(R"(\b)" + table + R"(\(\)\s*\{\s*return\s+(\w+)\s*;)");
        table.clear();
        for (const TSourceFile& f : files_) {
          std::smatch m;
          if (std::regex_search(f.Code, m, returns)) table = m[1].str();
        }
      }
    }
  }
  if (table.empty() || depth > 4) return {};
  return TableColumn(file, table, type, field);
}

std::vector<std::string> TSourceScan::TableColumn(const TSourceFile& near, std::string_view table,
                                                  std::string_view type, std::string_view field) const {
  // Tables of one name in several files: the one beside the loop first.
  std::vector<const TSourceFile*> order{&near};
  for (const TSourceFile& f : files_)
    if (&f != &near) order.push_back(&f);
  for (const TSourceFile* pfile : order) {
    const TSourceFile& file = *pfile;
    // `TRow kTable[...] = {`
    std::optional<std::size_t> open;
    std::string declaredType;
    for (std::size_t at : WordsFollowedBy(file.Code, std::string(table), '[')) {
      const std::size_t close = Closing(file.Code, at);
      std::size_t i = close + 1;
      while (i < file.Code.size() && std::isspace(static_cast<unsigned char>(file.Code[i]))) ++i;
      if (i >= file.Code.size() || file.Code[i] != '=') continue;
      ++i;
      while (i < file.Code.size() && std::isspace(static_cast<unsigned char>(file.Code[i]))) ++i;
      if (i >= file.Code.size() || file.Code[i] != '{') continue;
      open = i;
      std::size_t end = file.Code.rfind(std::string(table), at);
      while (end > 0 && std::isspace(static_cast<unsigned char>(file.Code[end - 1]))) --end;
      std::size_t begin = end;
      while (begin > 0 && IsWordChar(file.Code[begin - 1])) --begin;
      declaredType = file.Code.substr(begin, end - begin);
      break;
    }
    if (!open) continue;
    const std::string rowType = type.empty() ? declaredType : std::string(type);
    // The field's place in the row's struct.
    std::optional<std::size_t> index;
    for (const TSourceFile& f : files_) {
      std::optional<std::size_t> structOpen;
      for (std::size_t at : WordsFollowedBy(f.Code, rowType, '{')) {
        const std::size_t word = f.Code.rfind(rowType, at);
        const std::string_view before = Trimmed(std::string_view(f.Code).substr(0, word));
        if (before.ends_with("struct") || before.ends_with("class")) structOpen = at;
      }
      if (!structOpen) continue;
      const std::size_t open = *structOpen;
      const std::size_t close = Closing(f.Code, open);
      std::size_t place = 0, start = open + 1;
      int nested = 0;
      for (std::size_t i = open + 1; i < close && !index; ++i) {
        const char c = f.Code[i];
        if (c == '{' || c == '(') ++nested;
        if (c == '}' || c == ')') --nested;
        if (c != ';' || nested != 0) continue;
        const std::string declaration = f.Code.substr(start, i - start);
        start = i + 1;
        if (declaration.find('(') != std::string::npos || Trimmed(declaration).empty()) continue;  // a method
        if (DeclaredName(declaration) == field) index = place;
        ++place;
      }
      if (index) break;
    }
    if (!index) return {};
    std::vector<std::string> values;
    const std::size_t close = Closing(file.Code, *open);
    for (std::size_t i = *open + 1; i < close; ++i) {
      if (file.Code[i] != '{') continue;
      const std::vector<TSpan> cells = Arguments(file.Code, i);
      if (cells.size() > *index) {
        const TSpan& cell = cells[*index];
        if (file.Code[cell.Begin] == '"')
          for (const auto& literal : file.Literals)
            if (literal.At == cell.Begin) values.push_back(literal.Text);
      }
      i = Closing(file.Code, i);
    }
    return values;
  }
  return {};
}
