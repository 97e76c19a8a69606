#pragma once
// The standing windows, created at start-up in the one order of
// StandingWindowOrder. Each window class registers its factory under its Name.
#include <QWidget>
#include <functional>
#include <string_view>
#include <vector>

using TFormFactory = std::function<QWidget*()>;

void RegisterStandingForm(std::string_view name, TFormFactory factory);
void ClearStandingForms();  // tests
// Creates every registered window in order (each applies its own interface
// parameters as it is created) and shows the main window after the message box.
std::vector<QWidget*> CreateStandingForms();
