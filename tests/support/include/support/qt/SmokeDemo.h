#pragma once
// What the smoke demos share: their start over an installation on the X server
// their script started, their clicks, and how they give up.
#include <QApplication>
#include <QTest>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "platform/IniFile.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/ScreenInfo.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/Termins.h"

// The installation at `folder` as the program sees it after start-up (its ini
// in `settings`, the interface for the screen in `used`, the desk's view).
inline void UseInstallation(const std::string& folder, TMainSettings& settings, TInterface& used) {
  SetProgramFolders(folder);
  settings.Ini = TIniFile(InstallationFolder() + "Tressary.ini", false);
  const TScreenInfo screen = CurrentScreen();
  LoadInterface(used, settings.Ini, screen.Width, screen.Height, nullptr);
}

// The demo's application, on a real X server unless QT_QPA_PLATFORM names another
// platform, over the installation at `folder`, whose interface is in use while
// the demo lives.
class TSmokeDemo {
 public:
  TSmokeDemo(int& argc, char** argv, const std::string& folder) : App(UseXcb(argc), argv) {
    UseInstallation(folder, Settings, Interface);
  }

  // The demo's settings, which its windows are handed; made before the
  // application and the windows, gone after them.
  TMainSettings Settings;

 private:
  // Before the application, which reads the platform's name once.
  static int& UseXcb(int& argc) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
    return argc;
  }
  QApplication App;
  TInterface Interface;
  TUseInterface UseInterface{Interface};
};

// Says on stderr why the demo fails and ends its event loop with 1; returns 1
// for a `main` that has not started the loop yet.
inline int DemoFail(const std::string& why) {
  std::fprintf(stderr, "%s\n", why.c_str());
  std::fflush(stderr);
  QApplication::exit(1);
  return 1;
}

// A left click as a person's, in the widget's middle or at `at`.
inline void DemoClick(QWidget* widget, QPoint at) { QTest::mouseClick(widget, Qt::LeftButton, {}, at); }
inline void DemoClick(QWidget* widget) { DemoClick(widget, widget->rect().center()); }

// A message sink for the online windows over the installation's texts: each
// message is said on stderr with the text a user reads; a message without a text
// ends the demo with 1 at once (its event loop may not run yet).
inline std::function<void(const std::string&)> InstalledMessageSink(std::vector<std::string>* keys = nullptr) {
  auto terms = std::make_shared<TTerminList>();
  LoadTerms(InstallationFolder() + "termins.txt", *terms, false);
  return [terms, keys](const std::string& key) {
    const std::string text = GetTerm(key, *terms, "");
    std::cerr << "message: " << key << ": " << text << "\n";
    if (text.empty()) {
      std::fprintf(stderr, "the message %s has no text in the installation\n", key.c_str());
      std::fflush(stderr);
      std::_Exit(1);
    }
    if (keys) keys->push_back(key);
  };
}
