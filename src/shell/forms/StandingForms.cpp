#include "shell/forms/StandingForms.h"

#include <map>
#include <optional>
#include <string>

#include "shell/StandingWindows.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"

namespace {
struct TStanding {
  TFormFactory Factory;
  TStandingPlace Place = TStandingPlace::FromMain;
  std::vector<std::function<void(QWidget&)>> Links;
  bool Making = false;
};

// Filled by the program's run (RegisterProgramWindows); the windows live as
// long as the program.
std::map<std::string, TStanding, std::less<>>& Registry() {
  static std::map<std::string, TStanding, std::less<>> registry;
  return registry;
}

// Where the start-up showed the main window: the windows take their places
// from it, as if made then.
std::optional<QPoint>& LayoutOrigin() {
  static std::optional<QPoint> origin;
  return origin;
}
}  // namespace

void RegisterStandingForm(std::string_view name, TFormFactory factory, TStandingPlace place) {
  TStanding& standing = Registry()[std::string(name)];
  standing.Factory = std::move(factory);
  standing.Place = place;
}

void RegisterStandingForm(std::string_view name, std::function<QWidget*()> factory, TStandingPlace place) {
  RegisterStandingForm(name, TFormFactory([factory = std::move(factory)](QWidget*) { return factory(); }), place);
}

void LinkStandingForm(std::string_view name, std::function<void(QWidget&)> link) {
  if (!link) return;
  if (QWidget* made = FindScreenForm(name)) link(*made);
  Registry()[std::string(name)].Links.push_back(std::move(link));
}

void ClearStandingForms() {
  Registry().clear();
  LayoutOrigin().reset();
}

QWidget* StandingForm(std::string_view name) {
  if (QWidget* made = FindScreenForm(name)) return made;
  auto it = Registry().find(name);
  // A window whose making asks for itself gets null rather than a second one.
  if (it == Registry().end() || !it->second.Factory || it->second.Making) return nullptr;
  QWidget* main = FindScreenForm(StandingWindowOrder.front());
  it->second.Making = true;
  QWidget* form = it->second.Factory(main ? main : BackdropWindow());
  it->second.Making = false;
  const bool fromMain = it->second.Place == TStandingPlace::FromMain;
  if (!form) return nullptr;
  RegisterScreenForm(form);
  // Placed from the main window where it is now: moved to where it would have
  // been placed at start-up, before the main window was dragged elsewhere.
  if (fromMain && LayoutOrigin() && main && form != main && form->isWindow()) {
    auto* skinned = qobject_cast<TSkinnedForm*>(form);
    if (skinned && skinned->FrameOffset()) skinned->PlaceFromCorner(*LayoutOrigin());
    else form->move(form->pos() + *LayoutOrigin() - main->pos());
  }
  // A link may ask for other windows: the registry may grow meanwhile.
  const std::vector<std::function<void(QWidget&)>> links = Registry()[std::string(name)].Links;
  for (const auto& link : links) link(*form);
  return form;
}

bool HasStandingForm(std::string_view name) {
  if (FindScreenForm(name)) return true;
  auto it = Registry().find(name);
  return it != Registry().end() && it->second.Factory;
}

QWidget* CreateStandingForms() {
  QWidget* main = StandingForm(StandingWindowOrder.front());
  if (!main) return nullptr;
  // Made with every window at start-up, the tips window came after this showing
  // and missed its tip: the welcome tip that follows is not replaced by it.
  if (auto* skinned = qobject_cast<TSkinnedForm*>(main)) skinned->NoTipOnNextActivation = true;
  main->show();
  LayoutOrigin() = main->pos();
  return main;
}

void MakeStandingForms() {
  for (std::string_view name : StandingWindowOrder) StandingForm(name);
}
