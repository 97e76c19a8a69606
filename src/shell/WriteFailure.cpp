#include "shell/WriteFailure.h"

#include <cerrno>
#include <cstring>

#include "shell/Termins.h"

std::string WriteFailureReason(int error) {
  struct TCause {
    int Error;
    std::string_view Key, Text;
  };
  static constexpr TCause kCauses[] = {
      {ENOSPC, "MessageWriteNoSpace", "There is no space left on the disk."},
      {EDQUOT, "MessageWriteNoSpace", "There is no space left on the disk."},
      {EROFS, "MessageWriteReadOnly", "The folder is read-only."},
      {EACCES, "MessageWriteDenied", "Permission to write there is denied."},
      {EPERM, "MessageWriteDenied", "Permission to write there is denied."},
      {ENAMETOOLONG, "MessageWriteBadName", "The name is not allowed there."},
      {EINVAL, "MessageWriteBadName", "The name is not allowed there."},
      {EILSEQ, "MessageWriteBadName", "The name is not allowed there."},
      {EFBIG, "MessageWriteTooLarge", "The file is larger than the system allows."},
      {ENOENT, "MessageWriteNoFolder", "The folder does not exist."},
      {ENOTDIR, "MessageWriteNoFolder", "The folder does not exist."},
  };
  if (error == 0) return {};
  for (const TCause& cause : kCauses)
    if (cause.Error == error) return WithoutSound(GetTerm(cause.Key, ProgramTexts(), cause.Text));
  return std::string(std::strerror(error)) + ".";
}

std::string WriteFailureText(std::string_view key, std::string_view fallback, const TFileError& failure) {
  std::string text = WithoutSound(GetTerm(key, ProgramTexts(), fallback));
  if (!failure.Path.empty()) text += "\r" + failure.Path.string();
  if (const std::string reason = WriteFailureReason(failure.System); !reason.empty()) text += "\r" + reason;
  return text;
}
