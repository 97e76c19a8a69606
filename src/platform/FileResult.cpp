#include "platform/FileResult.h"

#include <cstring>

TFileError FileError(TFileFault cause, std::filesystem::path path, int system, std::string detail) {
  return {cause, std::move(path), system, std::move(detail)};
}

std::string TFileError::Reason() const {
  // What the system said of a write is in System; any other finding is the reason.
  if (!Detail.empty() && Cause != TFileFault::CannotWrite) return Detail;
  switch (Cause) {
    case TFileFault::NoSuchFile: return "there is no such file";
    case TFileFault::CannotRead: return "the file cannot be read";
    case TFileFault::CannotWrite:
      return System != 0 ? std::string("the file cannot be written: ") + std::strerror(System)
                         : "the file cannot be written";
    case TFileFault::Empty: return "the file is empty";
    case TFileFault::UnknownType: return "pictures of type \"" + Path.extension().string() + "\" cannot be read";
    case TFileFault::Damaged: return "the file is damaged";
    case TFileFault::TooLarge: return "the picture is too large";
    case TFileFault::UnsafeName: return "a name in it leads outside its folder";
    case TFileFault::OverCap: return "it would write more than it may";
  }
  return "the file cannot be read";
}

std::string TFileError::Text() const { return Path.string() + ": " + Reason(); }
