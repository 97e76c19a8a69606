#include "shell/forms/ShellForms.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <xcb/xcb.h>
#include <algorithm>

#include "shell/MainSettings.h"

namespace {
// The standing windows live as long as the program and are never deleted; the
// list that names them stays too, rather than being torn down at exit under
// windows that outlive it.
std::vector<QPointer<QWidget>>& Forms() {
  static auto* forms = new std::vector<QPointer<QWidget>>;
  return *forms;
}
// The start-up's backdrop, the one the program ends with.
QPointer<QWidget>& Backdrop() {
  static QPointer<QWidget> backdrop;
  return backdrop;
}
// The program's end, asked once: it ends the one event loop of the process.
bool terminated = false;
}  // namespace

std::vector<QWidget*> ScreenForms() {
  auto& forms = Forms();
  forms.erase(std::remove_if(forms.begin(), forms.end(), [](const QPointer<QWidget>& f) { return f.isNull(); }),
              forms.end());
  return std::vector<QWidget*>(forms.begin(), forms.end());
}

void RegisterScreenForm(QWidget* form) {
  if (form && std::find(Forms().begin(), Forms().end(), form) == Forms().end()) Forms().emplace_back(form);
}

bool HasName(const QWidget* widget, std::string_view name) {
  return widget && widget->objectName() == QLatin1String(name.data(), qsizetype(name.size()));
}

QWidget* FindScreenForm(std::string_view name) {
  for (QWidget* form : ScreenForms())
    if (HasName(form, name)) return form;
  return nullptr;
}

namespace {
// Filled by the program's run (RegisterProgramWindows) before the start-up.
std::vector<std::pair<std::string, std::function<void()>>>& CallWindows() {
  static std::vector<std::pair<std::string, std::function<void()>>> windows;
  return windows;
}
}  // namespace

void RegisterCallWindow(std::string_view name, std::function<void()> run) {
  for (auto& [known, call] : CallWindows())
    if (known == name) {
      call = std::move(run);
      return;
    }
  CallWindows().emplace_back(std::string(name), std::move(run));
}

std::function<void()> CallWindow(std::string_view name) {
  for (const auto& [known, call] : CallWindows())
    if (known == name) return call;
  return {};
}

QWidget* BackdropWindow() { return Backdrop().data(); }
void SetBackdropWindow(QWidget* backdrop) { Backdrop() = backdrop; }

void SetTransientFor(QWidget* window, QWidget* owner) {
  // Other platforms (offscreen above all) may answer for X11 without being it.
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!window || !owner || window == owner || !x11 || !window->isWindow() || QGuiApplication::platformName() != "xcb")
    return;
  xcb_connection_t* connection = x11->connection();
  if (!connection) return;
  const xcb_window_t parent = xcb_window_t(owner->window()->winId());
  xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), XCB_ATOM_WM_TRANSIENT_FOR,
                      XCB_ATOM_WINDOW, 32, 1, &parent);
  xcb_flush(connection);
}

void TerminateApplication() {
  terminated = true;
  QCoreApplication::quit();
}
bool ApplicationTerminated() { return terminated || QCoreApplication::closingDown(); }
void ResetApplicationTerminated() { terminated = false; }

TShellHooks& ShellHooks() {
  // Set by the program's run before the start-up reads them.
  static TShellHooks hooks;
  return hooks;
}

void SwitchTips(TMainSettings& settings, bool on, const std::string& topic) {
  settings.ShowTips = on;
  if (on && ShellHooks().ShowTip) ShellHooks().ShowTip(topic);
  if (QWidget* tips = FindScreenForm("FormTips"); !on && tips && tips->isVisible()) tips->close();
}
