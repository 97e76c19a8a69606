#pragma once
// Why a file could not be written, in the user's words.
#include <string>
#include <string_view>

#include "platform/FileResult.h"

// The cause of a failed write (the errno the system gave): the text table's
// words for the causes a user can mend (a full disk, a read-only folder, no
// permission, a name the folder does not allow), the system's own words for
// the rest; "" for 0 (the system gave no cause).
std::string WriteFailureReason(int error);

// The text-table message `key` (`fallback` without it), the file, and the
// system's cause of the failure, each on a line of its own.
std::string WriteFailureText(std::string_view key, std::string_view fallback, const TFileError& failure);
