#include "app/Program.h"

#include <QApplication>
#include <string>
#include <vector>

#include "editor/forms/FormAdjust.h"
#include "editor/forms/FormLayers.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMask.h"
#include "editor/forms/FormPreview.h"
#include "editor/forms/FormSetup.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/MainShellForm.h"
#include "exchange/forms/FormCamera.h"
#include "exchange/forms/FormEmail.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/FormPrint.h"
#include "exchange/forms/FormShopList.h"
#include "exchange/forms/ProgramWorkFiles.h"
#include "platform/FileIO.h"
#include "platform/qt/QtShellOpener.h"
#include "shell/Startup.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/FormTips.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StartupHost.h"

int RunProgram(int argc, char* argv[], const std::function<void()>& afterStartup) {
  // Shaped top-level windows need X11; under Wayland the program runs on XWayland.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tressary");
  // The program ends when the backdrop closes, not when some window is the last.
  QApplication::setQuitOnLastWindowClosed(false);
  TQtShellOpener shellOpener;
  SetShellOpener(&shellOpener);

  // Windows of the higher layers register their factories here (RegisterStandingForm)
  // before the start-up creates them in their order.
  ShellHooks().BeforeStandingWindows = ReadMainWindowData;
  RegisterMainWindow();
  RegisterFormAdjust();
  RegisterFormPreview();
  RegisterFormLayers();
  RegisterFormMask();
  RegisterFormLoadSave();
  RegisterFormPrint();
  RegisterFormShopList();
  RegisterFormCamera();
  RegisterFormEmail();
  RegisterFormTemplates();
  RegisterFormSetup();
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  RegisterFormMessage();
  RegisterFormHelp();
  RegisterFormTips();
  RegisterWorkFileOpening();
  TQtStartupHost host;
  if (!RunStartup(host, ExecutableDir(), arguments)) return 1;
  ConnectMainWindow();
  ConnectFormLoadSave();
  ConnectFormCamera();
  InstallProgramMainShell();
  if (afterStartup) afterStartup();
  return QApplication::exec();
}
