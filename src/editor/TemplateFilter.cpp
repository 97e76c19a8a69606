#include "editor/TemplateFilter.h"

void TTemplateFilter::Toggle() {
  if (!Available()) return;
  on_ = !on_;
  Apply();
}

void TTemplateFilter::Apply() {
  if (TakeAnswers) TakeAnswers();
  // A listener may forget itself or another while it is told.
  const auto listeners = listeners_;
  for (const auto& [id, listener] : listeners)
    if (listeners_.count(id)) listener();
}

int TTemplateFilter::Listen(std::function<void()> listener) {
  listeners_[nextId_] = std::move(listener);
  return nextId_++;
}

void TTemplateFilter::Forget(int id) { listeners_.erase(id); }
