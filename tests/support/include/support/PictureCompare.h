#pragma once
// Picture comparison for the tests: a failure names the first differing pixel and
// leaves both pictures where a person can look at them.
#include <gtest/gtest.h>

#include <optional>

#include "picture/Bitmap32.h"
#include "platform/FileResult.h"

// How far a channel may be off: 0 asks for the same value, 255 ignores the channel.
struct TPictureMatch {
  int ColourTolerance = 0;
  int AlphaTolerance = 0;
};

// Succeeds when the pictures have one size and every channel is within its
// tolerance. Otherwise the message gives the sizes, or the first differing pixel
// (rows from the top) with both colours and how many pixels differ, and the two
// pictures are written as "<suite>.<test>-<n>.actual.bmp" and "...expected.bmp"
// (32 bits, alpha kept) into "failed-pictures" beside the test's output: in
// $TRESSARY_TEST_OUTPUT_DIR, or else the working folder.
// Use: EXPECT_TRUE(SamePicture(actual, expected)).
::testing::AssertionResult SamePicture(const TBitmap32& actual, const TBitmap32& expected, TPictureMatch match = {});
// The same for a picture that may be missing: a missing one fails.
::testing::AssertionResult SamePicture(const std::optional<TBitmap32>& actual, const TBitmap32& expected,
                                       TPictureMatch match = {});
// The same for a decoder's result: a failure is told with its cause.
::testing::AssertionResult SamePicture(const TFileResult<TBitmap32>& actual, const TBitmap32& expected,
                                       TPictureMatch match = {});
