#include "shell/forms/StandingForms.h"

#include <map>
#include <string>

#include "shell/StandingWindows.h"

namespace {
std::map<std::string, TFormFactory, std::less<>>& Factories() {
  static std::map<std::string, TFormFactory, std::less<>> factories;
  return factories;
}
}  // namespace

void RegisterStandingForm(std::string_view name, TFormFactory factory) {
  Factories()[std::string(name)] = std::move(factory);
}

void ClearStandingForms() { Factories().clear(); }

std::vector<QWidget*> CreateStandingForms() {
  std::vector<QWidget*> created;
  QWidget* mainWindow = nullptr;
  for (std::string_view name : StandingWindowOrder) {
    auto it = Factories().find(name);
    if (it != Factories().end() && it->second) {
      QWidget* form = it->second();
      if (form) created.push_back(form);
      if (name == StandingWindowOrder.front()) mainWindow = form;
    }
    if (name == ShowMainAfter && mainWindow) mainWindow->show();
  }
  if (mainWindow && !mainWindow->isVisible()) mainWindow->show();
  return created;
}
