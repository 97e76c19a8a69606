#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTimer>
#include <functional>

#include "picture/forms/BitmapImage.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/InterfaceInfo.h"
#include "shell/ShellGlobals.h"
#include "shell/Termins.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "support/TestPaths.h"

namespace {

void WritePng(const fs::path& file, const TBitmap32& picture) {
  fs::create_directories(file.parent_path());
  ASSERT_TRUE(ImageView(picture).save(QString::fromStdString(file.string()), "PNG"));
}

class FormMessageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetShellGlobals();
    ExePath = dir_.Path().string() + "/";
    InterfaceDir = "Intfaces\\";
    InterfaceName = "DEFAULT\\";
    ResolutionIndex = 2;
    InterfaceInfo = std::make_unique<TMrvInterfaceInfo>();
    InterfaceInfo->LoadLines({"FormMessageButtons = Buttons.png;", "SECTION FormMessage TFormMessage",
                              "Skin = Mess.png;", "END"});
    WritePng(dir_ / "Intfaces/DEFAULT/800-600/Mess.png", TBitmap32(200, 130, Color32(200, 190, 170)));
    WritePng(dir_ / "Intfaces/DEFAULT/800-600/Buttons.png", TBitmap32(144, 68, Color32(20, 90, 100)));
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) { messages_.push_back(text); });
    Termins = {{"ProductName", "Tressary"}, {"MessageHello", "Hello\rWorld"}, {"ButtonOKHint", "Fine"}};
    box_ = new TFormMessage();
  }
  void TearDown() override {
    delete box_;
    Termins.clear();
    SetMessagePresenter(nullptr);
    DoneInterfaceInfo();
    ResetShellGlobals();
    EXPECT_TRUE(messages_.empty()) << messages_.front();
  }

  // Runs `step` once the event loop turns (inside the box's modal loop).
  static void Soon(std::function<void()> step) { QTimer::singleShot(0, std::move(step)); }
  static void ClickCentre(TGraphicButton* button) {
    const QPointF p(button->width() / 2, button->height() / 2);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, p, button->mapToGlobal(p), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(button, &event);
    }
  }
  void Press(Qt::Key key, const QString& text) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(box_, &event);
  }

  TempFolder dir_;
  std::vector<std::string> messages_;
  TFormMessage* box_ = nullptr;
};

}  // namespace

TEST_F(FormMessageTest, ButtonsAnswerYesAndNo) {
  Soon([this] { ClickCentre(box_->ButtonYes); });
  EXPECT_EQ(ShowMessageBox("Proceed?", mbkYesNo, true), 6);
  EXPECT_FALSE(box_->isVisible());
  Soon([this] { ClickCentre(box_->ButtonNo); });
  EXPECT_EQ(ShowMessageBox("Proceed?", mbkYesNo, true), 7);
  Soon([this] { ClickCentre(box_->ButtonExit); });
  EXPECT_EQ(ShowMessageBox("Proceed?", mbkYesNo, true), 7);
}

TEST_F(FormMessageTest, EnterAnswersYesEscAndClosingAnswerNo) {
  Soon([this] { Press(Qt::Key_Return, "\r"); });
  EXPECT_EQ(ShowMessageBox("Go on?", mbkOKCancel, true), 6);
  Soon([this] { Press(Qt::Key_Escape, "\x1b"); });
  EXPECT_EQ(ShowMessageBox("Go on?", mbkOKCancel, true), 7);
  Soon([this] { box_->close(); });
  EXPECT_EQ(ShowMessageBox("Go on?", mbkOKCancel, true), 7);
}

TEST_F(FormMessageTest, TextFromTheTableOrLiteralWithKindHints) {
  QString shown, yesHint, noHint;
  QSize size;
  auto look = [&] {
    shown = box_->LabelMessage->text();
    yesHint = box_->ButtonYes->toolTip();
    noHint = box_->ButtonNo->toolTip();
    size = box_->size();
    Press(Qt::Key_Return, "\r");
  };
  Soon(look);
  ShowMessageBox("MessageHello", mbkOKCancel, false, "unused");
  EXPECT_EQ(shown, "Hello\nWorld");
  EXPECT_EQ(yesHint, "Fine");     // from the table
  EXPECT_EQ(noHint, "Cancel");    // the default
  EXPECT_EQ(size, QSize(200, 130));  // the skin's size
  Soon(look);
  ShowMessageBox("MessageMissing", mbkYesNo, false, "Default text");
  EXPECT_EQ(shown, "Default text");
  EXPECT_EQ(yesHint, "Yes");
  EXPECT_EQ(noHint, "No");
  Soon(look);
  ShowMessageBox("MessageHello", mbkYesNo, true);
  EXPECT_EQ(shown, "MessageHello");
  EXPECT_EQ(box_->windowTitle(), "Tressary");
}

TEST_F(FormMessageTest, SecondQuestionWaitsForTheFirstAndEachGetsItsOwnAnswer) {
  std::vector<std::string> seen;
  int secondAnswer = 0;
  Soon([&] {
    seen.push_back(box_->LabelMessage->text().toStdString());
    // A timer asks while the first question is up.
    Soon([&] {
      Soon([&] {
        seen.push_back(box_->LabelMessage->text().toStdString());
        ClickCentre(box_->ButtonYes);  // answers the first
        Soon([&] {
          seen.push_back(box_->LabelMessage->text().toStdString());
          ClickCentre(box_->ButtonNo);  // answers the second
        });
      });
      secondAnswer = ShowMessageBox("Second", mbkYesNo, true);
    });
  });
  const int firstAnswer = ShowMessageBox("First", mbkYesNo, true);
  EXPECT_EQ(firstAnswer, 6);
  EXPECT_EQ(secondAnswer, 7);
  EXPECT_EQ(seen, (std::vector<std::string>{"First", "First", "Second"}));
  EXPECT_FALSE(box_->Busy());
}
