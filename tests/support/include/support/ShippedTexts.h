#pragma once
// The texts the installation ships (the source tree's data/termins.txt), for the
// tests of windows that show a message by its key: each key they meet must have a
// text there, or the user would read an empty box.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "shell/Termins.h"
#include "support/TestPaths.h"
#include "support/TestTexts.h"

inline const TTerminList& ShippedTermins() {
  static const TTerminList terms = [] {
    TTerminList list;
    if (const TFileResult<> loaded = LoadTerms(SourceDir() / "data" / "termins.txt", list, true); !loaded)
      ADD_FAILURE() << loaded.Error().Text();
    return list;
  }();
  return terms;
}

// A message sink that records each key in `keys` and fails the test when the key
// has no text in the shipped table.
inline std::function<void(const std::string&)> RecordShippedMessages(std::vector<std::string>& keys) {
  return [&keys](const std::string& key) {
    EXPECT_FALSE(WithoutSound(GetTerm(key, ShippedTermins(), "")).empty())
        << "the message " << key << " has no text in data/termins.txt";
    keys.push_back(key);
  };
}
