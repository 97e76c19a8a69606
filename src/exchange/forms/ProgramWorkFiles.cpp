#include "exchange/forms/ProgramWorkFiles.h"

#include <QApplication>
#include <QCursor>
#include <QPointer>

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
    std::string message = GetTerm(key, ProgramTexts(), text);
    if (!detail.empty()) message += "\r" + detail;
    ShowMessageBox(message, mbkOKCancel, true);
  }
  void SetChanged(TChangeKind code) override { main_.State().SetChanged(code); }
  TSavedFlags& Saved() override { return main_.State().Saved; }
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
    if (TFormMontage* desk = main_.DeskWindow()) desk->Desk().PortraitBitmap = bitmap;
    if (LayerWindowLinks().ShowPortrait) LayerWindowLinks().ShowPortrait();
  }

 private:
  TFormMain& main_;
};

// The program's main window, handed in once it is made, and the work files over
// its desk, made on first use.
struct TProgramWork {
  QPointer<TFormMain> Main;
  std::unique_ptr<IWorkPorts> Ports;
  std::unique_ptr<TWorkFiles> Files;
};
TProgramWork& ProgramWork() {
  // The one main window's work: handed in by the program's run.
  static TProgramWork work;
  return work;
}
}  // namespace

std::unique_ptr<IWorkPorts> MakeWorkPorts(TFormMain& main) { return std::make_unique<TMainWorkPorts>(main); }

void ConnectProgramWorkFiles(TFormMain& main) {
  TProgramWork& work = ProgramWork();
  if (work.Main == &main) return;
  work.Files.reset();
  work.Ports.reset();
  work.Main = &main;
}

TWorkFiles* ProgramWorkFiles() {
  TProgramWork& work = ProgramWork();
  if (!work.Main) {
    // The main window went (a test's): its files, bound to its desk, go with it.
    work.Files.reset();
    work.Ports.reset();
  }
  if (!work.Files) {
    if (!work.Main || !work.Main->DeskWindow()) return nullptr;
    work.Ports = MakeWorkPorts(*work.Main);
    work.Files = std::make_unique<TWorkFiles>(work.Main->DeskWindow()->Desk(), *work.Ports);
  }
  return work.Files.get();
}

TFileResult<std::vector<std::uint8_t>> ProgramCompressedWork() {
  TWorkFiles* files = ProgramWorkFiles();
  if (!files) return FileError(TFileFault::Empty, {});
  return files->WorkFileBytes(false);
}

void RegisterWorkFileOpening() {
  ShellHooks().OpenWorkFile = [](const std::string& path) {
    if (TWorkFiles* files = ProgramWorkFiles()) files->LoadWorkFromFile(path);
  };
}
