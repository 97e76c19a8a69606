#include "editor/forms/MainShellForm.h"

#include <gtest/gtest.h>

#include <QLabel>

#include "editor/EditorGlobals.h"
#include "editor/MainShell.h"
#include "platform/ShellOpen.h"
#include "platform/qt/FileDialogFilters.h"
#include "shell/ShellGlobals.h"
#include "shell/Termins.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/SkinnedForm.h"
#include "support/TestPaths.h"

namespace {

struct TRecordingOpener : IShellOpener {
  std::vector<std::string> opened;
  bool OpenUrl(const std::string& url) override {
    opened.push_back(url);
    return true;
  }
};

TGraphicButton* AddButton(QWidget& form, const char* name) {
  auto* button = new TGraphicButton(&form);
  button->setObjectName(name);
  return button;
}

}  // namespace

TEST(MainShellForm, ButtonsOpenTheirWindowsOrStayHidden) {
  TSkinnedForm main("FormMain");
  TSkinnedForm queries("FormQueries");
  TGraphicButton* toggle = AddButton(main, "ButtonQueries");
  TGraphicButton* missing = AddButton(main, "ButtonSetup");
  TGraphicButton* made = AddButton(main, "ButtonShopping");
  TGraphicButton* link = AddButton(main, "ButtonSubscribe");
  link->hide();
  InstallMainShell(main, {});
  main.show();

  EXPECT_TRUE(missing->isHidden());  // no settings window yet: no dead button
  EXPECT_TRUE(made->isHidden());
  EXPECT_FALSE(toggle->isHidden());
  ASSERT_TRUE(toggle->OnClick);
  toggle->OnClick();
  EXPECT_TRUE(queries.isVisible());
  toggle->OnClick();
  EXPECT_FALSE(queries.isVisible());

  TRecordingOpener opener;
  SetShellOpener(&opener);
  EXPECT_FALSE(link->isHidden());
  link->OnClick();
  EXPECT_EQ(opener.opened, (std::vector<std::string>{std::string(ProductWebSite)}));
  SetShellOpener(nullptr);
}

TEST(MainShellForm, CloseIsCancelledWhenTheWorkCannotBeSaved) {
  TSkinnedForm main("FormMain");
  int saves = 0;
  std::vector<std::string> asked;
  InstallMainShell(main, {[] { return 2; }, [&] { return ++saves, false; },
                          [&](const std::string& text) { return asked.push_back(text), true; }});
  WorkSaved = false;
  ASSERT_TRUE(main.OnCloseQuery);
  bool canClose = true;
  main.OnCloseQuery(canClose);
  EXPECT_FALSE(canClose);
  EXPECT_EQ(asked.size(), 1u);  // the save question only
  EXPECT_EQ(saves, 1);
  WorkSaved = true;
}

TEST(MainShellForm, QtFiltersFromTheWindowsForm) {
  EXPECT_EQ(QtNameFilterList("Pictures|*.png;*.jpg|All files (*.*)|*.*"),
            (QStringList{"Pictures (*.png *.PNG *.jpg *.JPG)", "All files (*)"}));
}

TEST(MainShellForm, CreatingTheMainWindowLoadsTheProgramsCursors) {
  ScreenCursors().Load("/nonexistent/");  // whatever earlier tests loaded is gone
  ExePath = (BuildDir() / "Tressary").string() + "/";
  ReadMainWindowData();
  EXPECT_EQ(ScreenCursors().PictureCount(), int(kProgramCursors.size()));
  EXPECT_EQ(ProgramCursor(crHandInfo).shape(), Qt::BitmapCursor);
  Termins.clear();
  ResetMainShell();
  ResetEditorGlobals();
  ResetShellGlobals();
}
