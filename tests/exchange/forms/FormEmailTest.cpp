// Mailing the work from the load-and-save window: through a desktop mail program
// (a fake xdg-email on PATH), else through the e-mail window to aiosmtpd on
// loopback; what arrives is read with Python's email package, the picture with
// Pillow and the work with our own reader.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdlib>
#include <fstream>

#include "editor/MainShell.h"
#include "exchange/forms/FormEmail.h"
#include "exchange/forms/FormLoadSave.h"
#include "exchange/mail/SendMail.h"
#include "picture/WorkFile.h"
#include "platform/CompoundFile.h"
#include "platform/FileIO.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/ProductInfo.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "support/ReceivedMail.h"
#include "support/FakeWorkPicture.h"
#include "support/TestPaths.h"
#include "support/qt/SmtpSink.h"

namespace {

std::string FileBytes(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool WaitUntil(const std::function<bool()>& done, int milliseconds) {
  QDeadlineTimer deadline(milliseconds);
  while (!done()) {
    if (deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

class FormEmailTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "PATH"})
      saved_.emplace_back(name, std::getenv(name) ? std::optional<std::string>(std::getenv(name)) : std::nullopt);
    setenv("HOME", home_.Path().c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
    fs::create_directories(home_ / "bin");
    // Only the fakes the test puts there: no real mail program is ever started.
    setenv("PATH", (home_ / "bin").c_str(), 1);
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    settings_.MailFromAddress = "ann@example.com";
    work_.picture = TBitmap32(64, 48, Color32(200, 40, 30));
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 20; ++x) work_.picture.SetPixel(x, y, Color32(20, 160, 60));
    TWorkHeader header;
    header.Version = "test";
    TLayerRecord record;
    record.Id = "L1";
    record.Caption = "Layer";
    record.Width = 64;
    record.Height = 48;
    header.Layers.push_back(record);
    workBytes_ = BuildCompressedWork(header, {{&work_.picture, {}}}, work_.picture);
    loadSave_.Work = &work_;
    loadSave_.CompressedWork = [this] { return TFileResult<std::vector<std::uint8_t>>(workBytes_); };
    // Every message box is answered at once and its text kept.
    QObject::connect(&answering_, &QTimer::timeout, [this] {
      if (!FormMessage || !FormMessage->isVisible()) return;
      messages_.push_back(FormMessage->LabelMessage->text().toStdString());
      FormMessage->close();
    });
    answering_.start(10);
  }
  void TearDown() override {
    answering_.stop();
    email_.close();
    for (const auto& [name, value] : saved_)
      if (value) setenv(name.c_str(), value->c_str(), 1);
      else unsetenv(name.c_str());
    SetMessagePresenter({});
  }

  void FakeMailProgram(int exitCode) {
    const fs::path script = home_ / "bin/xdg-email";
    WriteTestFile(script,
                  "#!/bin/sh\n"
                  "log=\"" + (home_ / "xdg-email.log").string() + "\"\n"
                  "for a in \"$@\"; do printf '%s\\n' \"$a\" >> \"$log\"; done\n"
                  "while [ $# -gt 0 ]; do\n"
                  "  if [ \"$1\" = --attach ]; then [ -f \"$2\" ] && echo EXISTS >> \"$log\"; fi\n"
                  "  shift\n"
                  "done\n"
                  "exit " + std::to_string(exitCode) + "\n");
    fs::permissions(script, fs::perms::owner_all);
  }
  std::vector<std::string> MailProgramLog() const {
    std::vector<std::string> lines;
    std::ifstream in(home_ / "xdg-email.log");
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  // Once the e-mail window is up: keeps its attachment's bytes, addresses the mail
  // to `to` and presses OK.
  void AnswerEmailWindow(const std::string& to) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [this, poll, to] {
      if (!email_.isVisible() || email_.Sending() || (FormMessage && FormMessage->isVisible())) return;
      poll->deleteLater();
      if (!email_.Mail->Attachments.empty()) attachments_.push_back(FileBytes(email_.Mail->Attachments.front()));
      email_.EditEmailAddress->setText(QString::fromStdString(to));
      email_.ButtonOK->OnClick();
    });
    poll->start(10);
  }

  TempFolder home_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
  FakeWork work_;
  std::vector<std::uint8_t> workBytes_;
  TMainSettings settings_;
  TFormEmail email_{settings_};
  TFormLoadSave loadSave_{settings_};
  QTimer answering_;
  std::vector<std::string> messages_;
  std::vector<std::string> attachments_;
};

TEST_F(FormEmailTest, WhenTheMailProgramFailsTheWindowMailsThePictureAndTheWorkIntact) {
  FakeMailProgram(4);
  TempFolder received;
  TSmtpSink sink(received.Path(), 2);
  ASSERT_NE(sink.Port(), 0);
  settings_.MailServer = "127.0.0.1";
  settings_.MailPort = sink.Port();

  AnswerEmailWindow("bob@example.com");
  loadSave_.ButtonSendImageClick();
  AnswerEmailWindow("bob@example.com");
  loadSave_.ButtonSendWorkClick();
  ASSERT_TRUE(sink.Finish());
  EXPECT_EQ(MailProgramLog().size(), 2 * 6u);  // both calls, each with its file present
  ASSERT_EQ(attachments_.size(), 2u);
  EXPECT_EQ(messages_, std::vector<std::string>(2, "The mail was sent."));
  EXPECT_FALSE(email_.isVisible());
  EXPECT_EQ(sink.Envelope(1)["from"].toString(), "ann@example.com");

  const TReceivedMail picture = ReadReceivedMail(sink.Mail(1));
  ASSERT_TRUE(picture.ok);
  EXPECT_EQ(picture.Value("defects"), "");
  EXPECT_EQ(picture.Value("header.To"), "bob@example.com");
  EXPECT_EQ(picture.Value("attachment.0.filename"), "portrait.jpg");
  EXPECT_EQ(picture.Value("attachment.0.description"), "Lumbrae-generated mail");
  EXPECT_EQ(picture.Value("attachment.0.data"), attachments_[0]);
  WriteTestFile(received / "got.jpg", picture.Value("attachment.0.data"));
  std::string pillow;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c 'import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                       "im.load(); r, g, b = im.convert(\"RGB\").getpixel((50, 20)); "
                       "print(im.format, im.size[0], im.size[1], int(r > 150 and g < 90))' " +
                           (received / "got.jpg").string(),
                       &pillow),
            0);
  EXPECT_EQ(pillow, "JPEG 64 48 1\n");

  const TReceivedMail work = ReadReceivedMail(sink.Mail(2));
  ASSERT_TRUE(work.ok);
  EXPECT_EQ(work.Value("attachment.0.filename"), "Session" + CompressedWorkExt);
  const std::string data = work.Value("attachment.0.data");
  EXPECT_EQ(data, std::string(workBytes_.begin(), workBytes_.end()));
  EXPECT_EQ(data, attachments_[1]);
  const std::vector<std::uint8_t> bytes(data.begin(), data.end());
  auto container = ConvertWorkFile(bytes);
  ASSERT_TRUE(container);
  auto reader = *TCompoundFileReader::FromMemory(std::move(*container));
  ASSERT_TRUE(reader);
  EXPECT_TRUE(reader->ReadStream("ListFile.txt", 1 << 20));
  // Our window's attachments go once the window is done with them.
  for (const std::string& line : MailProgramLog())
    if (line.ends_with(".jpg") || line.ends_with(CompressedWorkExt)) {
      EXPECT_FALSE(fs::exists(line)) << line;
    }
}

TEST_F(FormEmailTest, TheDesktopMailProgramGetsTheFileWhichOutlivesTheCall) {
  FakeMailProgram(0);
  loadSave_.ButtonSendImageClick();
  const std::vector<std::string> log = MailProgramLog();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(std::vector<std::string>(log.begin(), log.begin() + 4),
            (std::vector<std::string>{"--utf8", "--subject", "", "--attach"}));
  EXPECT_EQ(fs::path(log[4]).filename(), "portrait.jpg");
  EXPECT_EQ(fs::path(log[4]).parent_path().parent_path(), PrivateTempDir());
  EXPECT_EQ(log[5], "EXISTS");
  // The mail program reads it later: it stays until the program ends.
  EXPECT_TRUE(fs::is_regular_file(log[4]));
  EXPECT_FALSE(email_.isVisible());
  EXPECT_TRUE(messages_.empty());

  loadSave_.ButtonSendWorkClick();
  const std::vector<std::string> second = MailProgramLog();
  ASSERT_EQ(second.size(), 12u);
  EXPECT_EQ(fs::path(second[10]).filename(), "Session" + CompressedWorkExt);
  EXPECT_EQ(FileBytes(second[10]), std::string(workBytes_.begin(), workBytes_.end()));
  EXPECT_NE(fs::path(second[10]).parent_path(), fs::path(log[4]).parent_path());
}

TEST_F(FormEmailTest, AServerRefusingTheSenderShowsItsErrorAndNoSuccess) {
  TempFolder received;
  TSmtpSink sink(received.Path(), 1, true);
  ASSERT_NE(sink.Port(), 0);
  settings_.MailServer = "127.0.0.1";
  settings_.MailPort = sink.Port();
  AnswerEmailWindow("bob@example.com");
  loadSave_.ButtonSendImageClick();
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_TRUE(messages_[0].starts_with("Unexpected response: 550")) << messages_[0];
  EXPECT_FALSE(email_.isVisible());
  EXPECT_FALSE(email_.Sending());
  sink.Stop();
}

TEST_F(FormEmailTest, AMailAccountSetUpWhileTheProgramRunsIsTheNextMailsAccount) {
  email_.show();
  EXPECT_EQ(email_.Mail->SMTP_Server(), "");
  email_.close();
  WriteTestFile(home_ / ".thunderbird/profiles.ini", "[Profile0]\nName=default\nIsRelative=1\nPath=p.default\nDefault=1\n");
  WriteTestFile(home_ / ".thunderbird/p.default/prefs.js",
                "user_pref(\"mail.accountmanager.defaultaccount\", \"account1\");\n"
                "user_pref(\"mail.account.account1.identities\", \"id1\");\n"
                "user_pref(\"mail.identity.id1.useremail\", \"new@example.com\");\n"
                "user_pref(\"mail.identity.id1.smtpServer\", \"smtp1\");\n"
                "user_pref(\"mail.smtpserver.smtp1.hostname\", \"smtp.example.com\");\n");
  email_.show();
  EXPECT_EQ(email_.Mail->SMTP_Server(), "smtp.example.com");
}

TEST_F(FormEmailTest, WithoutServerOrSenderNothingIsSent) {
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  // No server in the settings and no mail program's account.
  loadSave_.ButtonSendImageClick();
  EXPECT_EQ(messages_, std::vector<std::string>{std::string(MailMessageDefault("MessageServerWarning"))});
  EXPECT_FALSE(email_.isVisible());

  settings_.MailServer = "127.0.0.1";
  settings_.MailPort = server.serverPort();
  settings_.MailFromAddress.clear();
  messages_.clear();
  QTimer::singleShot(0, [this] {
    email_.EditEmailAddress->setText("bob@localhost");  // no "."
    email_.ButtonOK->OnClick();
    email_.EditEmailAddress->setText("bob@example.com");
    email_.ButtonOK->OnClick();
    email_.ButtonExit->OnClick();
  });
  email_.SendWithAttachment(nullptr);
  ASSERT_EQ(messages_.size(), 2u);
  EXPECT_EQ(messages_[0], "Please enter a correct e-mail address.");
  EXPECT_TRUE(messages_[1].starts_with("No sender address is known.")) << messages_[1];
  EXPECT_FALSE(server.waitForNewConnection(300));
}

TEST_F(FormEmailTest, ClosingTheWindowDuringASendCancelsIt) {
  // A server that takes the connection and never greets.
  QTcpServer server;
  ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
  QTcpSocket* peer = nullptr;
  QObject::connect(&server, &QTcpServer::newConnection, [&] {
    peer = server.nextPendingConnection();
    email_.ButtonExit->OnClick();
  });
  settings_.MailServer = "127.0.0.1";
  settings_.MailPort = server.serverPort();
  AnswerEmailWindow("bob@example.com");
  loadSave_.ButtonSendImageClick();
  ASSERT_NE(peer, nullptr);
  EXPECT_FALSE(email_.isVisible());
  ASSERT_TRUE(WaitUntil([&] { return !email_.Sending(); }, 5000));
  EXPECT_TRUE(peer->state() == QAbstractSocket::UnconnectedState || peer->waitForDisconnected(5000));
  // The controls are back for the next mail, and nobody was told of a success.
  WaitUntil([] { return false; }, 200);
  EXPECT_TRUE(email_.ButtonOK->isEnabled());
  EXPECT_TRUE(messages_.empty());
}

}  // namespace
