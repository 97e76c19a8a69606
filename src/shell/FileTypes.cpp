#include "shell/FileTypes.h"

#include <cstdlib>

#include "platform/FileIO.h"
#include "platform/IniFile.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "shell/ProductInfo.h"

namespace {

constexpr int kDatabaseTimeoutMs = 30000;

std::string WithoutBlanks(std::string_view text) {
  std::string out;
  for (char c : text)
    if (c != ' ') out += c;
  return out;
}

TWorkFileType MakeType(const TIniFile& ini, const char* progSuffix, const char* nameKey, const char* ext) {
  std::string progId = "Tessaly" + WithoutBlanks(ProductInfo.NameAndVersion) + progSuffix;
  std::string comment = ini.ReadString("TYPES REGISTRATION", nameKey, std::string(ProductInfo.FullName) + " file");
  return {"application/x-" + LowerAscii(progId), comment, LowerAscii(ext)};
}

std::string XmlEscaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

// A quoted argument of a desktop entry's Exec line: the quoting escapes " ` $ and
// the backslash with a backslash, and the entry's string escaping then doubles every backslash.
std::string ExecQuoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\')
      out += "\\\\\\\\";
    else if (c == '"' || c == '`' || c == '$')
      out += std::string("\\\\") + c;
    else if (c == '%')
      out += "%%";
    else
      out += c;
  }
  return out + "\"";
}

// One line of a desktop entry: no line breaks may reach a value.
std::string EntryValue(std::string_view text) {
  std::string out;
  for (char c : text) out += (c == '\n' || c == '\r') ? ' ' : c;
  return out;
}

std::string MimeTypeBlock(const TWorkFileType& t) {
  return "  <mime-type type=\"" + XmlEscaped(t.MimeType) + "\">\n    <comment>" + XmlEscaped(t.Comment) +
         "</comment>\n    <glob pattern=\"*" + XmlEscaped(t.Extension) + "\"/>\n  </mime-type>\n";
}

}  // namespace

TWorkFileType CompressedWorkType(const TIniFile& ini) {
  return MakeType(ini, "CmpFile", "KZCmpTypeName", ProductInfo.CmpFileExt);
}
TWorkFileType UncompressedWorkType(const TIniFile& ini) {
  return MakeType(ini, "UnCmpFile", "KZUnCmpTypeName", ProductInfo.UnCmpFileExt);
}

std::string MimePackageText(const TWorkFileType& compressed, const TWorkFileType& uncompressed) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n" +
         MimeTypeBlock(compressed) + MimeTypeBlock(uncompressed) + "</mime-info>\n";
}

std::string DesktopEntryText(const fs::path& executable, const TWorkFileType& compressed,
                             const TWorkFileType& uncompressed) {
  return "[Desktop Entry]\nType=Application\nName=" + EntryValue(ProductInfo.NameAndVersion) +
         "\nExec=" + ExecQuoted(executable.string()) + " %f\nMimeType=" + compressed.MimeType + ";" +
         uncompressed.MimeType + ";\nTerminal=false\nCategories=Graphics;\nNoDisplay=false\n";
}

bool RegisterFileTypes(const fs::path& dataHome, const fs::path& executable, const TIniFile& ini,
                       IProcessRunner& runner) {
  if (dataHome.empty()) return false;
  TWorkFileType compressed = CompressedWorkType(ini), uncompressed = UncompressedWorkType(ini);
  std::error_code ec;
  fs::create_directories(dataHome / "mime" / "packages", ec);
  fs::create_directories(dataHome / "applications", ec);
  if (!WriteFileAtomic(dataHome / "mime" / "packages" / "tressary-works.xml",
                       MimePackageText(compressed, uncompressed)))
    return false;
  if (!WriteFileAtomic(dataHome / "applications" / "tressary.desktop",
                       DesktopEntryText(executable, compressed, uncompressed)))
    return false;
  // The databases only speed the desktop up; their tools may be missing.
  runner.Run("update-mime-database", {(dataHome / "mime").string()}, kDatabaseTimeoutMs);
  runner.Run("update-desktop-database", {(dataHome / "applications").string()}, kDatabaseTimeoutMs);
  return true;
}
