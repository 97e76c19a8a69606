#pragma once
// The standing windows. Each window class registers its factory under its Name;
// the start-up makes only the main window, and every other one is made the first
// time it is asked for (StandingForm), so that the start pays only for what it
// shows. A window made late reads the program's state as it is then, and takes
// the place it would have taken at start-up.
#include <QWidget>
#include <functional>
#include <string_view>
#include <vector>

// Makes the window with its owner, the window it opens from: the main window,
// or the backdrop for the main window itself.
using TFormFactory = std::function<QWidget*(QWidget* owner)>;

// Where a window places itself as it is made: from the main window (moved, when
// made late, to where it would have stood at start-up, however the main window
// has been dragged since) or by the screen alone (kept where it placed itself).
enum class TStandingPlace { FromMain, ByScreen };

void RegisterStandingForm(std::string_view name, TFormFactory factory,
                          TStandingPlace place = TStandingPlace::FromMain);
// A window that finds its owner itself (on each show, the window it opens over).
void RegisterStandingForm(std::string_view name, std::function<QWidget*()> factory,
                          TStandingPlace place = TStandingPlace::FromMain);
// Wires the window of that name to the windows and services around it: at once
// when it is made already, otherwise as soon as it is made.
void LinkStandingForm(std::string_view name, std::function<void(QWidget&)> link);
template <typename T, typename Link>
void LinkStandingForm(std::string_view name, Link link) {
  LinkStandingForm(name, std::function<void(QWidget&)>([link](QWidget& form) {
                     if (auto* window = dynamic_cast<T*>(&form)) link(*window);
                   }));
}
void ClearStandingForms();  // tests

// The window of that name, made (and linked) on the first ask; null when there
// is none and no factory for one.
QWidget* StandingForm(std::string_view name);
template <typename T>
T* StandingForm(std::string_view name) {
  return dynamic_cast<T*>(StandingForm(name));
}
// Whether the window of that name is made or can be.
bool HasStandingForm(std::string_view name);

// The start-up's part: makes the main window (the first of StandingWindowOrder)
// and shows it.
QWidget* CreateStandingForms();
// Makes every registered window not made yet, in their order (what checks every
// window needs).
void MakeStandingForms();
