// skin-window-demo <installation folder>: the backdrop and the message window with
// the installation's default skin, as the start-up shows them, for the smoke test
// of window shapes under a real X server.
#include <QApplication>

#include "platform/IniFile.h"
#include "platform/qt/ScreenInfo.h"
#include "shell/InterfaceInfo.h"
#include "shell/ShellGlobals.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StartupHost.h"

int main(int argc, char* argv[]) {
  if (argc != 2) return 2;
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  TQtStartupHost host;
  host.ShowBackdrop();
  ExePath = std::string(argv[1]) + "/";
  MainIni = std::make_unique<TIniFile>(ExePath + "Tressary.ini", false);
  TScreenInfo screen = CurrentScreen();
  InitInterfaceInfo(screen.Width, screen.Height, nullptr);
  TSkinnedForm form("FormMessage");
  form.OnShow = [&] { LoadFormSkin(form, "FormMessage.Skin", "FormMess.psd"); };
  form.move(100, 100);
  form.show();
  return QApplication::exec();
}
