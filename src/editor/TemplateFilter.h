#pragma once
// The template filter that the questionnaire window and the template browser both
// show: either may toggle it, the questionnaire window's answers are taken before
// every change is told, and every window that listens hears it. The questionnaires
// (editor/Questionnaires.h) own it.
#include <functional>
#include <map>

class TTemplateFilter {
 public:
  // Takes the answers of the page on show; set while the questionnaire window
  // exists, which the filter needs.
  std::function<void()> TakeAnswers;
  bool Available() const { return static_cast<bool>(TakeAnswers); }

  // Whether the query groups' answers filter the browser.
  bool On() const { return on_; }
  // Turns the switch over and applies it; nothing without the questionnaires.
  void Toggle();
  // The answers or the switch changed: takes the answers, then tells every listener.
  void Apply();

  int Listen(std::function<void()> listener);
  void Forget(int id);

 private:
  bool on_ = false;
  std::map<int, std::function<void()>> listeners_;
  int nextId_ = 0;
};
