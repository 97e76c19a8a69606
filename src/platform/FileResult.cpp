#include "platform/FileResult.h"

#include <cstring>

TFileError FileError(TFileFault cause, std::filesystem::path path, int system, std::string detail) {
  return {cause, std::move(path), system, std::move(detail)};
}

std::string TFileError::Reason() const {
  switch (Cause) {
    case TFileFault::NoSuchFile: return "there is no such file";
    case TFileFault::CannotRead: return "the file cannot be read";
    case TFileFault::CannotWrite:
      return System != 0 ? std::string("the file cannot be written: ") + std::strerror(System)
                         : "the file cannot be written";
    case TFileFault::Empty: return "the file is empty";
    case TFileFault::UnknownType: return "pictures of type \"" + Path.extension().string() + "\" cannot be read";
    case TFileFault::Damaged: return Detail.empty() ? "the file is damaged" : Detail;
    case TFileFault::TooLarge: return Detail.empty() ? "the picture is too large" : Detail;
    case TFileFault::UnsafeName: return Detail.empty() ? "a name in it leads outside its folder" : Detail;
    case TFileFault::OverCap: return Detail.empty() ? "it would write more than it may" : Detail;
  }
  return "the file cannot be read";
}

std::string TFileError::Text() const { return Path.string() + ": " + Reason(); }
