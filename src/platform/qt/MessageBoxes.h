#pragma once
// Plain system message boxes with one OK button, for messages shown before any
// skinned window exists. Tests replace the presenter to record instead of block.
#include <functional>
#include <string>

enum class TMessageBoxKind { Error, Warning, Information };

// Texts may hold CR line breaks, as the program's messages do.
void ShowPlainMessage(TMessageBoxKind kind, const std::string& text);

using TMessagePresenter = std::function<void(TMessageBoxKind kind, const std::string& text)>;
// Installs a presenter (empty restores the real boxes).
void SetMessagePresenter(TMessagePresenter presenter);
