#include "exchange/forms/ProgramWorkFiles.h"

#include <QApplication>
#include <QCursor>

#include "editor/EditorGlobals.h"
#include "editor/LayerList.h"
#include "editor/MontageDesk.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "shell/Termins.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/ShellForms.h"

namespace {
class TMainWorkPorts : public IWorkPorts {
 public:
  explicit TMainWorkPorts(TFormMain& main) : main_(main) {}

  int AskYesNo(std::string_view key, std::string_view text) override {
    return ShowMessageBox(key, mbkYesNo, false, text);
  }
  void ShowMessage(std::string_view key, std::string_view text, const std::string& detail) override {
    std::string message = GetTerm(key, Termins, text);
    if (!detail.empty()) message += "\r" + detail;
    ShowMessageBox(message, mbkOKCancel, true);
  }
  void SetChanged(TChangeKind code) override { main_.State().SetChanged(code); }
  void SetBusy(bool busy) override {
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
  }
  void ProcessMessages() override { QCoreApplication::processEvents(); }
  void ShowDesk() override {
    if (TFormMontage* desk = main_.DeskWindow(); desk && !desk->isVisible()) desk->show();
  }
  void EnsureDeskMode() override {
    if (main_.State().DeskMode() == dmNone) main_.State().SetDeskMode(dmColoration);
  }
  void RefreshLayerList() override { main_.State().RefreshLayerList(); }
  void SetPortraitBitmap(const TBitmap32& bitmap) override {
    PortraitBitmap = bitmap;
    if (LayerWindowLinks().ShowPortrait) LayerWindowLinks().ShowPortrait();
  }

 private:
  TFormMain& main_;
};

TFormMain* MainWindow() { return qobject_cast<TFormMain*>(FindScreenForm("FormMain")); }
}  // namespace

std::unique_ptr<IWorkPorts> MakeWorkPorts(TFormMain& main) { return std::make_unique<TMainWorkPorts>(main); }

TWorkFiles* ProgramWorkFiles() {
  static std::unique_ptr<IWorkPorts> ports;
  static std::unique_ptr<TWorkFiles> files;
  if (!files) {
    TFormMain* main = MainWindow();
    if (!main || !main->DeskWindow()) return nullptr;
    ports = MakeWorkPorts(*main);
    files = std::make_unique<TWorkFiles>(main->DeskWindow()->Desk(), *ports);
  }
  return files.get();
}

void RegisterWorkFileOpening() {
  ShellHooks().OpenWorkFile = [](const std::string& path) {
    if (TWorkFiles* files = ProgramWorkFiles()) files->LoadWorkFromFile(path);
  };
}
