#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include "platform/FileResult.h"

TEST(FileResult, HoldsTheValueOrTheErrorWithItsFile) {
  TFileResult<std::unique_ptr<int>> loaded(std::make_unique<int>(7));
  ASSERT_TRUE(loaded);
  std::unique_ptr<int> value = *std::move(loaded);
  EXPECT_EQ(*value, 7);

  const TFileResult<std::unique_ptr<int>> failed(FileError(TFileFault::NoSuchFile, "/some/where/a.psd"));
  ASSERT_FALSE(failed);
  EXPECT_EQ(failed.Error().Cause, TFileFault::NoSuchFile);
  EXPECT_EQ(failed.Error().Text(), "/some/where/a.psd: there is no such file");
  EXPECT_TRUE(TFileResult<>());
}

// A reader's own finding is the reason where it has one; without it the cause speaks.
TEST(FileResult, ReasonIsTheFindingOrTheCause) {
  EXPECT_EQ(FileError(TFileFault::Damaged, "a.tsc").Reason(), "the file is damaged");
  EXPECT_EQ(FileError(TFileFault::Damaged, "a.tsc", 0, "Invalid PSD format").Reason(), "Invalid PSD format");
  EXPECT_EQ(FileError(TFileFault::UnknownType, "x/b.CMP").Reason(), "pictures of type \".CMP\" cannot be read");
  EXPECT_NE(FileError(TFileFault::CannotWrite, "c.bmp", ENOSPC).Reason().find("No space left"), std::string::npos);
}
