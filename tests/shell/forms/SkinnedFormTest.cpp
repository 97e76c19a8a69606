#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"

namespace {

class SkinnedFormTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetApplicationTerminated(); }
  void TearDown() override {
    ResetApplicationTerminated();
    ShellHooks() = TShellHooks();
  }
  // Runs `action` on the form once the modal loop is running.
  static void Later(std::function<void()> action) { QTimer::singleShot(0, qApp, std::move(action)); }
};

}  // namespace

TEST_F(SkinnedFormTest, ModalResultEndsTheLoopAndIsReturned) {
  TSkinnedForm form("FormSetup");
  Later([&] { form.ModalResult = 1; });
  EXPECT_EQ(ShowSkinnedModal(form), 1);
  EXPECT_FALSE(form.isVisible());
  EXPECT_TRUE(form.InSkinnedModal);
}

TEST_F(SkinnedFormTest, HidingWithoutResultGivesZeroAndTerminationTwo) {
  TSkinnedForm form("FormSetup");
  Later([&] { form.hide(); });
  EXPECT_EQ(ShowSkinnedModal(form), 0);
  Later([&] { TerminateApplication(); });
  EXPECT_EQ(ShowSkinnedModal(form), 2);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(SkinnedFormTest, EscClosesWithTheResultItHad) {
  TSkinnedForm form("FormPrint");
  Later([&] { QTest::keyClick(&form, Qt::Key_Escape); });
  EXPECT_EQ(ShowSkinnedModal(form), 0);
  EXPECT_FALSE(form.isVisible());
}

TEST_F(SkinnedFormTest, OtherWindowsAreDisabledExceptHelpTipsAndMessage) {
  TSkinnedForm main("FormMain"), help("FormHelp"), layers("FormLayers"), hidden("FormMask"), modal("FormSetup");
  main.show();
  help.show();
  layers.show();
  bool mainEnabledDuringModal = true, helpEnabled = false, layersEnabled = true;
  Later([&] {
    mainEnabledDuringModal = main.isEnabled();
    helpEnabled = help.isEnabled();
    layersEnabled = layers.isEnabled();
    modal.ModalResult = 2;
  });
  EXPECT_EQ(ShowSkinnedModal(modal), 2);
  EXPECT_FALSE(mainEnabledDuringModal);
  EXPECT_FALSE(layersEnabled);
  EXPECT_TRUE(helpEnabled);
  EXPECT_TRUE(main.isEnabled());
  EXPECT_TRUE(layers.isEnabled());
  EXPECT_TRUE(hidden.isEnabled());
  EXPECT_TRUE(modal.DisabledForms.empty());
  // Once shown modally, a plain show disables the others too.
  modal.show();
  EXPECT_FALSE(main.isEnabled());
  modal.hide();
  EXPECT_TRUE(main.isEnabled());
}

TEST_F(SkinnedFormTest, RefusedCloseKeepsTheOthersDisabled) {
  TSkinnedForm main("FormMain"), modal("FormSetup");
  main.show();
  int queries = 0;
  bool mainEnabledAtQuery = true;
  modal.OnCloseQuery = [&](bool& canClose) {
    mainEnabledAtQuery = main.isEnabled();
    canClose = ++queries > 1;  // the first close is refused
  };
  Later([&] {
    modal.close();
    EXPECT_TRUE(modal.isVisible());
    EXPECT_FALSE(main.isEnabled());
    modal.close();
  });
  EXPECT_EQ(ShowSkinnedModal(modal), 0);
  EXPECT_EQ(queries, 2);
  EXPECT_FALSE(mainEnabledAtQuery);  // the handler ran before the windows were enabled
  EXPECT_TRUE(main.isEnabled());
}

TEST_F(SkinnedFormTest, WindowClosedWhileItShowsLeavesTheOthersEnabled) {
  TSkinnedForm main("FormMain"), modal("FormSetup");
  main.show();
  // As a missing skin's error box lets events run while the window shows.
  modal.OnShow = [&] {
    QTimer::singleShot(0, &modal, [&] { modal.close(); });
    QCoreApplication::processEvents();
  };
  // Should the loop wait for an event that never comes, this ends it as a failure.
  QTimer::singleShot(5000, &modal, [&] { modal.ModalResult = 2; });
  EXPECT_EQ(ShowSkinnedModal(modal), 0);
  EXPECT_FALSE(modal.isVisible());
  EXPECT_TRUE(main.isEnabled());
}

TEST_F(SkinnedFormTest, DisabledWindowDestroyedMeanwhileIsSkipped) {
  auto other = std::make_unique<TSkinnedForm>("FormLayers");
  other->show();
  TSkinnedForm modal("FormSetup");
  Later([&] {
    other.reset();
    modal.ModalResult = 1;
  });
  EXPECT_EQ(ShowSkinnedModal(modal), 1);
}

TEST_F(SkinnedFormTest, EscOnTheMainWindowDoesNothing) {
  TSkinnedForm main("FormMain");
  main.show();
  QTest::keyClick(&main, Qt::Key_Escape);
  EXPECT_TRUE(main.isVisible());
  main.hide();
}

TEST_F(SkinnedFormTest, F1OpensHelpWithoutShiftOnlyAndNotOnTheMessageBox) {
  std::vector<std::string> topics;
  ShellHooks().ShowHelp = [&](const std::string& topic) { topics.push_back(topic); };
  TSkinnedForm layers("FormLayers"), help("FormHelp"), message("FormMessage");
  for (TSkinnedForm* f : {&layers, &help, &message}) f->show();
  // The key goes to the active window, as from the keyboard.
  auto press = [](TSkinnedForm& form, Qt::KeyboardModifiers modifiers = {}) {
    form.activateWindow();
    QTest::qWait(10);
    QTest::keyClick(&form, Qt::Key_F1, modifiers);
  };
  press(layers, Qt::ShiftModifier);
  press(layers, Qt::ControlModifier);
  press(message);
  EXPECT_TRUE(topics.empty());
  press(layers);
  press(help);
  EXPECT_EQ(topics, (std::vector<std::string>{"FormLayers", "FormHelp"}));
  // A text field with the focus, which takes the keys it knows, does not take F1.
  auto* field = new QLineEdit(&layers);
  layers.activateWindow();
  field->setFocus();
  QTest::qWait(10);
  QTest::keyClick(field, Qt::Key_F1);
  EXPECT_EQ(topics.back(), "FormLayers");
  EXPECT_EQ(topics.size(), 3u);
}

TEST_F(SkinnedFormTest, KeysReachTheMainWindowUnlessModal) {
  std::vector<int> down, up;
  ShellHooks().MainKeyDown = [&](int& key, int) { down.push_back(key); };
  ShellHooks().MainKeyUp = [&](int& key, int) { up.push_back(key); };
  TSkinnedForm layers("FormLayers"), main("FormMain");
  layers.show();
  main.show();
  QTest::keyClick(&layers, Qt::Key_A);
  QTest::keyClick(&main, Qt::Key_B);
  EXPECT_EQ(down, std::vector<int>{'A'});
  EXPECT_EQ(up, std::vector<int>{'A'});
  layers.OnKeyDown = [](int& key, int) { key = 0; };  // consumed by the window
  QTest::keyClick(&layers, Qt::Key_C);
  EXPECT_EQ(down.size(), 1u);
  layers.OnKeyDown = nullptr;
  layers.InSkinnedModal = true;
  QTest::keyClick(&layers, Qt::Key_D);
  EXPECT_EQ(down.size(), 1u);
}

TEST_F(SkinnedFormTest, HandlersRunInTheirOrder) {
  std::vector<std::string> log;
  TSkinnedForm form("FormTemplates");
  form.OnShow = [&] { log.push_back("show"); };
  form.OnCloseQuery = [&](bool&) { log.push_back("query"); };
  form.OnClose = [&] { log.push_back("close"); };
  form.OnHide = [&] { log.push_back("hide"); };
  form.OnKeyPress = [&](char& c) { log.push_back(std::string("press:") + c); };
  form.show();
  QTest::keyClick(&form, Qt::Key_X);
  form.close();
  std::vector<std::string> expected = {"show", "press:x", "query", "close", "hide"};
  EXPECT_EQ(log, expected);
}

TEST_F(SkinnedFormTest, ActivationShowsTheWindowsTipButNotForTipsHelpOrMessage) {
  std::vector<std::string> tips;
  ShellHooks().ShowTip = [&](const std::string& topic) { tips.push_back(topic); };
  TSkinnedForm layers("FormLayers"), tipsForm("FormTips");
  QEvent activate(QEvent::WindowActivate);
  QApplication::sendEvent(&layers, &activate);
  QApplication::sendEvent(&tipsForm, &activate);
  EXPECT_EQ(tips, std::vector<std::string>{"FormLayers"});
}

TEST_F(SkinnedFormTest, ShownAfterTerminationReturnsTwoAtOnce) {
  TSkinnedForm form("FormSetup");
  TerminateApplication();
  EXPECT_EQ(ShowSkinnedModal(form), 2);
  EXPECT_FALSE(form.isVisible());
}
