#include "app/Program.h"

#include <QApplication>
#include <QPointer>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "editor/CatalogIndex.h"
#include "editor/forms/FormAdjust.h"
#include "editor/forms/FormCatalog.h"
#include "editor/forms/FormLayerRegionEdit.h"
#include "editor/forms/FormLayerRegions.h"
#include "editor/forms/FormLayers.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/MainWindowLinks.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormMask.h"
#include "editor/forms/FormPreview.h"
#include "editor/forms/FormQueries.h"
#include "editor/forms/FormSetup.h"
#include "editor/forms/FormTemplates.h"
#include "editor/forms/FormVideo.h"
#include "editor/forms/MainShellForm.h"
#include "exchange/DeskWorkPicture.h"
#include "exchange/forms/FormCamera.h"
#include "exchange/forms/FormEmail.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/forms/FormPostCard.h"
#include "exchange/forms/FormPrint.h"
#include "exchange/forms/FormShopList.h"
#include "exchange/forms/ProgramWorkFiles.h"
#include "online/forms/FormInetModes.h"
#include "online/forms/FormToGallery.h"
#include "platform/FileIO.h"
#include "platform/qt/FirstExpose.h"
#include "platform/qt/FontWarmUp.h"
#include "platform/qt/QtShellOpener.h"
#include "shell/InterfaceInfo.h"
#include "shell/MainSettings.h"
#include "shell/Termins.h"
#include "shell/Startup.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/FormTips.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StandingForms.h"
#include "shell/forms/StartupHost.h"

void ConnectOnlineServices(TFormMain& window) {
  QPointer<TFormMain> main = &window;
  if (!main->DeskWindow()) return;
  auto desk = [main]() -> TMontageDesk* { return main && main->DeskWindow() ? &main->DeskWindow()->Desk() : nullptr; };
  TInetModesLinks& links = InetModesLinks();
  links.WorkOnDesk = [desk] { return desk() && desk()->LayerCount() > 0; };
  links.PrepareUpload = [desk](TFormToGallery& window) {
    window.ExportPicture = [desk] {
      if (!desk()) return TBitmap32();
      desk()->RenderExportBitmap();
      return desk()->TakeExportBitmap();
    };
    window.CompressedWork = ProgramCompressedWork;
  };
  links.RunPostCard = [main, desk] {
    if (!desk()) return;
    TDeskWorkPicture work(*desk());
    RunPostCard(work, main->Settings());
  };
}

void RegisterProgramWindows(TMainSettings& settings, TProgramTemplates& templates) {
  RegisterMainWindow(settings, templates.Base);
  RegisterFormPreview();
  RegisterFormLayers();
  RegisterFormMask(settings);
  RegisterFormLoadSave(settings);
  RegisterFormPrint(settings);
  RegisterFormCamera();
  RegisterFormEmail(settings);
  RegisterFormQueries(settings, templates.Questionnaires);
  RegisterFormTemplates(settings, templates.Base, templates.Questionnaires);
  RegisterFormSetup(settings);
  RegisterFormLayerRegions(settings);
  RegisterFormLayerRegionEdit();
  RegisterFormMessage();
  RegisterFormHelp(settings);
  RegisterFormTips(settings);
  RegisterFormInetModes(settings);
}

void ConnectProgramWindows(TFormMain& main, TMainSettings& settings, TCatalogIndex& catalog) {
  ConnectMainWindow(main);
  ConnectProgramWorkFiles(main);
  RegisterVideoPlayers(settings);
  RegisterFormCatalog(settings, catalog);
  ConnectFormShopList(main);
  ConnectFormLoadSave(main);
  ConnectFormCamera();
  ConnectOnlineServices(main);
  InstallProgramMainShell(main);
}

int RunProgram(int argc, char* argv[], const std::function<void()>& afterStartup) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  // Answered before any window, so that it works without a display too.
  if (std::optional<std::string> reply = CommandLineReply(arguments)) {
    std::fputs(reply->c_str(), stdout);
    return 0;
  }
  // Kept for the process: the hook below outlives this call.
  static TFontWarmUp fonts;
  // The run's one settings object: the start-up fills it, and every window that
  // reads or writes settings is handed it. Made before the application, so that
  // it outlives everything the run shows.
  TMainSettings settings;
  // The run's templates and questionnaires, and its catalogue index, handed likewise.
  TProgramTemplates templates;
  TCatalogIndex catalog;
  // The program's texts and interface, in use for the run: the hook below loads
  // the texts, the start-up the interface.
  TProgramTexts texts;
  TUseTexts useTexts(texts);
  TInterface look;
  TUseInterface useLook(look);
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
  ShellHooks().BeforeStandingWindows = [&settings, &texts] {
    fonts.Wait();
    ReadMainWindowData(settings, texts);
  };
  RegisterProgramWindows(settings, templates);
  // The main window, handed over as it is made. Once the start-up has shown it:
  // the windows' links and the application's events, before the welcome tip and
  // a command-line work can use them.
  auto main = std::make_shared<QPointer<TFormMain>>();
  LinkStandingForm<TFormMain>("FormMain", [main](TFormMain& made) { *main = &made; });
  ShellHooks().AfterStandingWindows = [main, &settings, &catalog] {
    if (*main) ConnectProgramWindows(**main, settings, catalog);
  };
  RegisterWorkFileOpening();
  TQtStartupHost host;
  if (!RunStartup(host, settings, look, ExecutableDir(), arguments)) return 1;
  if (*main) ExitOnFirstShowWhenAsked(**main);
  if (afterStartup) afterStartup();
  return QApplication::exec();
}
