// skin-window-demo <installation folder>: the backdrop and the message window with
// the installation's default skin, as the start-up shows them, for the smoke test
// of window shapes under a real X server.
#include <QApplication>

#include "shell/forms/SkinnedForm.h"
#include "shell/forms/Skins.h"
#include "shell/forms/StartupHost.h"
#include "support/qt/SmokeDemo.h"

int main(int argc, char* argv[]) {
  if (argc != 2) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  TQtStartupHost host;
  host.ShowBackdrop();
  TSkinnedForm form("FormMessage");
  form.OnShow = [&] { LoadFormSkin(form, "FormMessage.Skin", "FormMess.psd"); };
  form.move(100, 100);
  form.show();
  return QApplication::exec();
}
