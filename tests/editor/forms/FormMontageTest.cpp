#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMouseEvent>
#include <QImage>
#include <QMenu>
#include <QTest>

#include "editor/forms/FormMontage.h"
#include "picture/forms/BitmapImage.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/VirtualKeys.h"
#include "shell/InterfaceInfo.h"
#include "shell/Termins.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"
#include "support/FakeDeskOwner.h"
#include "support/TestPaths.h"
#include "support/TestTexts.h"

namespace {

class FormMontageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetSmallDesk(60, 40, 100, 80);
    TestDeskGeometry().DesktopWindowX = 7;
    TestDeskGeometry().DesktopWindowY = 5;
    main_.resize(200, 150);
    form_ = new TFormMontage(owner_, &main_);
  }
  void TearDown() override {
    ShellHooks() = TShellHooks();
    SetProgramFolders({});
  }
  TLayer& Add(int w, int h, TColor32 color, int left, int top) {
    auto layer = std::make_unique<TLayer>(form_->Desk(), TBitmap32(w, h, color), TNewLayer{"Hair"});
    layer->Left = left;
    layer->Top = top;
    layer->Render(form_->Desk().DeskFrame());
    TLayer& ref = *layer;
    form_->Desk().InsertLayer(std::move(layer));
    return ref;
  }
  void Show() {
    main_.show();
    form_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main_));
  }
  QAction* Item(const char* name) { return form_->PopupMenu().findChild<QAction*>(name); }

  FakeDeskOwner owner_;
  TInterface interface_;
  TUseInterface useInterface_{interface_};
  TSkinnedForm main_{"FormMain"};
  TFormMontage* form_ = nullptr;
};

TEST_F(FormMontageTest, SitsInTheMainWindowAndShowsTheDesk) {
  Add(20, 10, Color32(200, 30, 40), 5, 5);
  Add(10, 30, Color32(10, 20, 250, 128), 15, 2);
  Show();
  EXPECT_EQ(form_->parentWidget(), &main_);
  EXPECT_EQ(form_->geometry(), QRect(7, 5, 60, 40));
  EXPECT_TRUE(form_->mask().isEmpty());  // no skin: the whole rectangle
  const QImage shot = form_->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage expected = ImageView(form_->Desk().ScreenBitmap());
  ASSERT_EQ(shot.size(), expected.size());
  for (int y = 0; y < shot.height(); ++y)
    for (int x = 0; x < shot.width(); ++x)
      ASSERT_EQ(shot.pixel(x, y), expected.pixel(x, y)) << x << "," << y;
  EXPECT_EQ(QColor(shot.pixel(6, 6)), QColor(200, 30, 40));
}

TEST_F(FormMontageTest, SkinCutsTheShapeAtPureGreen) {
  TempFolder dir;
  SetProgramFolders(dir.Path());
  interface_.Dir = "Intfaces\\";
  interface_.Name = "DEFAULT\\";
  interface_.ResolutionIndex = 2;
  interface_.Info.LoadLines({"SECTION FormMontage TFormMontage", "Skin = Desk.png;", "END"});
  TBitmap32 skin(60, 40, Color32(90, 90, 90));
  for (int y = 0; y < 40; ++y) skin.SetPixel(0, y, Color32(0, 255, 0));
  const auto file = dir.Path() / "Intfaces/DEFAULT/800-600/Desk.png";
  std::filesystem::create_directories(file.parent_path());
  ASSERT_TRUE(ImageView(skin).save(QString::fromStdString(file.string()), "PNG"));
  Show();
  EXPECT_TRUE((form_->mask() ^ QRegion(1, 0, 59, 40)).isEmpty());
}

TEST_F(FormMontageTest, PopupCaptionsComeFromTheTextTable) {
  TTestTexts texts(TTerminList{{"PopupLayerDeleteHint", "Remove"}});
  TFormMontage other(owner_, &main_);
  QMenu& menu = other.PopupMenu();
  ASSERT_EQ(menu.actions().size(), 6);
  EXPECT_EQ(menu.actions()[0]->objectName(), "PopupLayerShow");
  EXPECT_EQ(menu.actions()[4]->text(), "Remove");
  EXPECT_EQ(menu.actions()[2]->text(), "Bring to front");
}

TEST_F(FormMontageTest, RightClickOpensThePopupForTheLayerUnderThePoint) {
  Add(20, 20, Color32(1, 2, 3), 0, 0);
  Add(20, 20, Color32(1, 2, 3), 30, 0);
  Show();
  QTest::mouseClick(form_, Qt::RightButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(form_->Desk().PopupLayerIndex, 1);
  EXPECT_TRUE(form_->PopupMenu().isVisible());
  EXPECT_TRUE(Item("PopupLayerMoveTop")->isVisible());
  EXPECT_FALSE(Item("PopupLayerMoveBottom")->isVisible());
  EXPECT_TRUE(Item("PopupLayerHide")->isVisible());
  EXPECT_FALSE(Item("PopupLayerShow")->isVisible());
  EXPECT_FALSE(Item("PopupLayerShowCatalog")->isVisible());
  Item("PopupLayerMoveTop")->trigger();
  EXPECT_EQ(form_->Desk().Layer(0).Left, 0);
  form_->PopupMenu().hide();
}

TEST_F(FormMontageTest, LeftClickSelects) {
  Add(20, 20, Color32(1, 2, 3), 0, 0);
  Show();
  QTest::mouseClick(form_, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
  EXPECT_EQ(form_->Desk().SelectedIndex(), 0);
  EXPECT_EQ(owner_.labels.back(), "Hair");
}

TEST_F(FormMontageTest, F1OpensTheDeskHelpAndOtherKeysGoToTheMainWindow) {
  std::vector<std::string> help;
  std::vector<std::pair<int, int>> down, up;
  ShellHooks().ShowHelp = [&](const std::string& topic) { help.push_back(topic); };
  ShellHooks().MainKeyDown = [&](int& key, int shift) { down.emplace_back(key, shift); };
  ShellHooks().MainKeyUp = [&](int& key, int shift) { up.emplace_back(key, shift); };
  Show();
  // From the keyboard: the main window active, the desk with the focus.
  main_.activateWindow();
  form_->setFocus();
  QTest::qWait(10);
  QTest::keyClick(form_, Qt::Key_F1);
  EXPECT_EQ(help, std::vector<std::string>{"FormMontage"});
  EXPECT_TRUE(up.empty());
  QTest::keyClick(form_, Qt::Key_F1, Qt::ShiftModifier);  // not the help key: forwarded
  EXPECT_EQ(help.size(), 1u);
  QTest::keyClick(form_, Qt::Key_Delete);
  // Presses (F1 alone is the window's help shortcut): Shift, F1, Delete;
  // releases: Shift+F1, Shift, Delete.
  std::vector<int> downKeys, upKeys;
  for (const auto& [key, shift] : down) downKeys.push_back(key);
  for (const auto& [key, shift] : up) upKeys.push_back(key);
  const int shiftKey = VirtualKeyOf(Qt::Key_Shift), deleteKey = VirtualKeyOf(Qt::Key_Delete);
  EXPECT_EQ(downKeys, (std::vector<int>{shiftKey, VK_F1, deleteKey}));
  EXPECT_EQ(upKeys, (std::vector<int>{VK_F1, shiftKey, deleteKey}));
  EXPECT_EQ(up[0].second, int(ssShift));
}

}  // namespace

namespace {

void Send(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
  QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

TEST_F(FormMontageTest, MouseToolsMoveTheLayerAndShowTheProgramsCursors) {
  SetProgramFolders(BuildDir() / "Tressary");
  ScreenCursors().Load(InstallationFolder());
  FakeToolOwner tools;
  form_->UseMouseTools(tools);
  TLayer& layer = Add(20, 20, Color32(200, 30, 40), 10, 10);
  form_->Desk().SelectLayer(0);
  Show();
  Send(form_, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
  EXPECT_TRUE(form_->Desk().UndoPending());
  Send(form_, QEvent::MouseMove, {26, 23}, Qt::NoButton, Qt::LeftButton);
  Send(form_, QEvent::MouseButtonRelease, {26, 23}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(layer.Left, 16);
  EXPECT_EQ(layer.Top, 13);
  EXPECT_FALSE(form_->Desk().UndoPending());
  EXPECT_EQ(layer.History().size(), 1u);
  // Hovering in the brush mode: the program's own picture with its hot spot.
  tools.mode = dmPaint;
  Send(form_, QEvent::MouseMove, {20, 20}, Qt::NoButton, Qt::NoButton);
  EXPECT_EQ(form_->cursor().shape(), Qt::BitmapCursor);
  EXPECT_EQ(form_->cursor().hotSpot(), QPoint(15, 15));
  EXPECT_FALSE(form_->cursor().pixmap().isNull());
}

}  // namespace
