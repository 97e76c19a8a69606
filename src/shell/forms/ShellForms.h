#pragma once
// What the shell's windows share: the list of program windows (the "screen's form
// list"), the backdrop, the application's termination, and the services of
// windows built in higher layers, which those windows install when they exist.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Every program window, in creation order; destroyed windows drop out.
std::vector<QWidget*> ScreenForms();
void RegisterScreenForm(QWidget* form);
// The window whose Name (objectName) is `name`, or null.
QWidget* FindScreenForm(std::string_view name);
bool HasName(const QWidget* widget, std::string_view name);

// Windows made for one call and released after it (the shop list): what runs
// them, registered by the layer that builds them; empty when none is.
void RegisterCallWindow(std::string_view name, std::function<void()> run);
std::function<void()> CallWindow(std::string_view name);

// The black backdrop, kept below every window (null before it exists).
QWidget* BackdropWindow();
void SetBackdropWindow(QWidget* backdrop);
// Makes the shown `window` a transient of `owner` on X11, so that window managers
// keep it above that window, however the owner is clicked or raised (Qt sets a
// transient parent only on dialogs, and clears it on every show of other
// windows). Not a child: a disabled parent would disable it.
void SetTransientFor(QWidget* window, QWidget* owner);

// Ends the application: every skinned modal loop returns 2 and the message loop
// ends.
void TerminateApplication();
bool ApplicationTerminated();
void ResetApplicationTerminated();  // tests

struct TShellHooks {
  // The tip page of a topic (not at the user's request: only while tips are on).
  std::function<void(const std::string& topic)> ShowTip;
  std::function<void(const std::string& topic)> ShowHelp;
  // Plays a clip of the catalogue folder (its file name) that a help page links
  // to; installed by the video-clip window.
  std::function<void(const std::string& fileName)> PlayVideoClip;
  // The main window's key handlers (virtual-key code, shift flags).
  std::function<void(int& key, int shift)> MainKeyDown;
  std::function<void(int& key, int shift)> MainKeyUp;
  // The start-up's welcome tip (shown when the settings turn tips on) and the work
  // file named on the command line.
  std::function<void()> ShowWelcomeTip;
  std::function<void(const std::string& path)> OpenWorkFile;
  // Runs before the standing windows are made (the main window's texts and
  // settings, which the other windows read as they are made).
  std::function<void()> BeforeStandingWindows;
  // Runs once they are made, before the welcome tip and a command-line work:
  // the application's events and the windows' links to each other.
  std::function<void()> AfterStandingWindows;
};
TShellHooks& ShellHooks();

struct TMainSettings;
// A tips switch turned `on` or off in the window `topic`: on shows that window's
// tip, off closes the tips window.
void SwitchTips(TMainSettings& settings, bool on, const std::string& topic);
