// per-user-files: the real program started from an installation its user cannot
// write to, then every way it keeps the user's files: the settings saved, a work
// and a picture saved in their folders, a layer saved as a template, a template
// downloaded from the stand-in publisher, both shown in the template browser, and
// a picture saved into the installation itself refused with the reason.
// Writes what it saw to PER_USER_OUT/report.txt; the script judges where the
// files went and that the installation stayed as it was.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <utility>

#include "app/Program.h"
#include "editor/MainShell.h"
#include "editor/TemplateBase.h"
#include "editor/TemplateGrid.h"
#include "editor/TemplateSave.h"
#include "editor/forms/FormMain.h"
#include "editor/forms/FormMontage.h"
#include "editor/forms/FormTemplates.h"
#include "exchange/DeskWorkPicture.h"
#include "exchange/forms/ProgramWorkFiles.h"
#include "online/forms/FormDownloadElements.h"
#include "online/forms/OnlineMessages.h"
#include "picture/Layer.h"
#include "picture/PackedPicture.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "shell/MainSettings.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/StandingForms.h"
#include "support/StandInPublisher.h"
#include "support/qt/DownloadWindow.h"

namespace {

std::ofstream report;

int Fail(const std::string& why) {
  report << "FAIL " << why << '\n';
  report.flush();
  QApplication::exit(1);
  return 1;
}

// The template `fileName` in the browser's grid of type 1: where it is drawn
// and the colour at the middle of its cell.
std::optional<TColor32> ShownColour(const std::string& fileName) {
  if (!FormTemplates->OpenForType(1, {2, 4}, "Hairstyles", tkFace)) return std::nullopt;
  const std::vector<int>& shown = FormTemplates->Shown();
  for (int i = 0; i < 50 && FormTemplates->FirstRow() * 2 + 8 < int(shown.size()); ++i) FormTemplates->ScrollPreview(true);
  for (std::size_t n = 0; n < shown.size(); ++n) {
    if (FormTemplates->Templates().List[std::size_t(shown[n])].FileName != fileName) continue;
    const int onPage = int(n) - FormTemplates->FirstRow() * 2;
    if (onPage < 0 || onPage >= 8) return std::nullopt;
    const TRect cell = FormTemplates->Grid().Cell(onPage / 2, onPage % 2);
    return FormTemplates->GridBitmap().Pixel(cell.Left + cell.Width() / 2, cell.Top + cell.Height() / 2);
  }
  return std::nullopt;
}

int Walk() {
  auto* main = qobject_cast<TFormMain*>(FindScreenForm("FormMain"));
  if (!main) return Fail("the main window is not made");
  // The run's settings, as the main window was handed them.
  TMainSettings& settings = main->Settings();
  report << "ini " << settings.Ini.FileName().string() << '\n';
  report << "registered " << settings.Ini.ReadString("TYPES REGISTRATION", "KZTypeRegistered", "NO") << '\n';
  report << "user folder " << UserProgramFolder().string() << '\n';

  // The settings window's save: the ini written whole.
  settings.Ini.WriteString("MAIL", "FromAddress", "me@example.com");
  if (!settings.Ini.UpdateFile()) return Fail("the settings were not saved");

  // A layer on the desk, then the work and the picture saved where the dialogs open.
  // The template browser made as a template button's first click makes it.
  if (!main->DeskWindow() || !StandingForm<TFormTemplates>("FormTemplates"))
    return Fail("the program's windows are not all made");
  TMontageDesk& desk = main->DeskWindow()->Desk();
  desk.SelectLayer(desk.InsertLayer(std::make_unique<TLayer>(desk, TBitmap32(60, 80, Color32(30, 160, 220)))));
  const fs::path work = DataFolderPath(settings.SaveWorkDir) / "mine.tsc";
  if (!ProgramWorkFiles() || !ProgramWorkFiles()->SaveWork(work)) return Fail("the work was not saved");
  report << "work " << work.string() << '\n';
  TDeskWorkPicture picture(desk);
  const fs::path look = DataFolderPath(settings.SaveImageDir) / "look.png";
  if (const TFileResult<> saved = SaveWorkPicture(picture, look); !saved) return Fail(ImageSaveFailureText(saved.Error()));
  report << "picture " << look.string() << '\n';

  // The layer as a template of the first type.
  if (!FormTemplates->OpenForType(1, {2, 4}, "Hairstyles", tkFace)) return Fail("the browser did not open");
  const TPartTypeRecord* type = FindTemplateType(1, FormTemplates->Templates().Types);
  if (!type) return Fail("no template type 1");
  const TTemplateSaveResult saved = SaveTemplate(InstallationFolder(), *type, "My own", LayerTemplate(*desk.SelectedLayer(), desk.Points.Face),
                                                 [&desk] { return desk.NewLayerId(); });
  if (saved.Fault != TTemplateSaveFault::None) return Fail("the template was not saved: " + saved.Detail);
  report << "template " << type->Folder << '/' << saved.FileName << '\n';

  // A template of the same type from the stand-in publisher.
  SetOnlineMessageSink([](const std::string& key) { report << "online message " << key << '\n'; });
  TStandInPublisher publisher({200, 110});
  const auto packed = PackBitmap32(TBitmap32(120, 160, Color32(200, 40, 200)), 90);
  publisher.AddFile(type->Folder + "/magenta.fll", std::string(packed.begin(), packed.end()));
  publisher.AddIndexLines("partbase", {"1;0;0;Magenta;Magenta;;1;" + std::to_string(packed.size())});
  publisher.Publish();
  settings.Ini.WriteString("Servers", "CGIServer", publisher.CgiServer());
  settings.Ini.EraseSection("Publishers");
  settings.Ini.WriteString("Publishers", "Server1", publisher.BaseUrl() + ";Stand-in publisher;standin;");
  for (const char* key : {"FirstName", "SecondName", "EMail", "Serial"})
    settings.Ini.WriteString("REGISTRATION", key, std::string(key) == "EMail" ? "anna@example.com" : "Anna");
  TFormDownloadElements download{settings};
  download.show();
  QTreeWidgetItem* root = OpenFirstPublisher(download);
  if (!root) return Fail("no publisher in the download window, or it was not analysed");
  QTreeWidgetItem* element = FindDownloadNode(root, ekTemplate, download);
  if (!element) return Fail("the new template is not in the tree");
  download.SetChecked(element, true);
  QWidget* start = download.ButtonStartDownload;
  QTest::mouseClick(start, Qt::LeftButton, {}, start->rect().center());
  if (!QTest::qWaitFor([&] { return !download.Running() && download.ListBox->count() == 0; }, 20000))
    return Fail("the download did not end");
  download.close();
  report << "downloaded " << type->Folder << "/Magenta.psd\n";

  // Both in the browser, drawn from the user's folder.
  // The downloaded picture went through JPEG: its colour within a few steps.
  for (const auto& [name, drawn] : {std::pair{saved.FileName, Color32(30, 160, 220)},
                                    std::pair{std::string("Magenta.psd"), Color32(200, 40, 200)}}) {
    const std::string entry = type->Folder + "\\" + name;
    const auto colour = ShownColour(entry);
    if (!colour) return Fail("the browser does not show " + entry);
    const int off = std::max({std::abs(RedOf(*colour) - RedOf(drawn)), std::abs(GreenOf(*colour) - GreenOf(drawn)),
                              std::abs(BlueOf(*colour) - BlueOf(drawn))});
    const auto file = FindTemplateFile(TemplateApplyFolders(settings.Content), entry);
    report << "browser shows " << name << (off <= 8 ? " in its colour" : " in another colour") << " from "
           << (file ? file->string() : "nowhere") << '\n';
  }

  // The installation itself refuses, and says why.
  const fs::path refused = ResolvePath(fs::path(InstallationFolder()), "refused.png");
  const TFileResult<> refusal = SaveWorkPicture(picture, refused);
  if (refusal) return Fail("a picture was saved into the installation");
  std::string text = ImageSaveFailureText(refusal.Error());
  for (char& c : text)
    if (c == '\r') c = '|';
  report << "refused " << text << '\n';
  report << "done\n";
  report.flush();
  QApplication::exit(0);
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  const char* out = std::getenv("PER_USER_OUT");
  if (argc < 1 || !out) return 2;
  report.open(std::string(out) + "/report.txt");
  return RunProgram(1, argv, [] { QTimer::singleShot(300, qApp, [] { Walk(); }); });
}
