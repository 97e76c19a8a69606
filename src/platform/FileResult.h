#pragma once
// What reading or writing a file gives back: the value, or why not. Every file
// routine from the saves up to the windows answers with one of these, so a
// failure keeps its cause and the file it happened to until someone shows it.
#include <filesystem>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

// One code per cause. The words a user reads are built from the code (Reason).
enum class TFileFault {
  NoSuchFile,   // nothing is there
  CannotRead,   // there, but it cannot be opened or read whole
  CannotWrite,  // the write failed; System says why (ENOSPC, EACCES ...)
  Empty,        // the file, or the picture in it, holds nothing
  UnknownType,  // no reader takes files of its extension
  Damaged,      // its content is not what its format requires; Detail may say where
  TooLarge,     // a picture above the size we take; Detail names its size
  UnsafeName,   // an archive entry would land outside its folder
  OverCap,      // an archive would write more than it may; Detail says how much
};

struct TFileError {
  TFileFault Cause = TFileFault::CannotRead;
  std::filesystem::path Path;
  int System = 0;      // the errno the system gave, 0 when it gave none
  std::string Detail;  // a reader's own finding, where it has one

  // The cause in words, as a clause: the reader's finding where it has one
  // (the system's words for a write), else the cause's ("there is no such file").
  std::string Reason() const;
  // The file and the cause: "<path>: <reason>".
  std::string Text() const;
};

TFileError FileError(TFileFault cause, std::filesystem::path path, int system = 0, std::string detail = {});

// The value of a routine that gives nothing back but success.
struct TFileDone {};

template <typename T = TFileDone>
class TFileResult {
 public:
  TFileResult()
    requires std::is_same_v<T, TFileDone>
  = default;
  TFileResult(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  TFileResult(TFileError error) : state_(std::in_place_index<1>, std::move(error)) {}

  bool Ok() const { return state_.index() == 0; }
  explicit operator bool() const { return Ok(); }
  T& operator*() & { return std::get<0>(state_); }
  const T& operator*() const& { return std::get<0>(state_); }
  T&& operator*() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }
  // Only after a failure.
  const TFileError& Error() const { return std::get<1>(state_); }

 private:
  std::variant<T, TFileError> state_;
};
