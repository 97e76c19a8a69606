#pragma once
// A test's own texts, in use while the object lives, as the program's run puts
// its texts in use.
#include <utility>

#include "shell/Termins.h"

struct TTestTexts {
  explicit TTestTexts(TTerminList terms = {}) : Texts{std::move(terms), true, nullptr} {}
  TTestTexts(const TTestTexts&) = delete;
  TTestTexts& operator=(const TTestTexts&) = delete;

  TProgramTexts Texts;
  TUseTexts Use{Texts};
};
