// The print window: the file list, drops on the page preview, mirroring, clearing,
// layouts, and a printed page judged by poppler.
#include "exchange/forms/FormPrint.h"

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QMimeData>
#include <QPageLayout>
#include <QPrinter>
#include <QTest>

#include "PdfJudge.h"
#include "editor/MainShell.h"
#include "picture/Lead.h"
#include "platform/FileIO.h"
#include "platform/ProgramFolders.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/PrintChoice.h"
#include "support/qt/MadeAfterMainDrag.h"
#include "support/qt/MessageAnswer.h"
#include "support/qt/PdfPrintDialog.h"
#include "support/qt/PrivateCups.h"
#include "support/ShippedTexts.h"

namespace {

const TColor32 kRed = Color32(220, 30, 30), kGreen = Color32(30, 160, 30), kBlue = Color32(30, 30, 220),
               kYellow = Color32(230, 200, 20), kMagenta = Color32(200, 40, 200);

// Left half `left`, right half `right`: mirroring shows.
TBitmap32 TwoTone(int w, int h, TColor32 left, TColor32 right) {
  TBitmap32 b(w, h, left);
  for (int y = 0; y < h; ++y)
    for (int x = w / 2; x < w; ++x) b.SetPixel(x, y, right);
  return b;
}

TColor32 At(const QImage& image, int x, int y) { return image.pixel(x, y) | 0xFF000000u; }

class FormPrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Skins are not installed here: their "cannot load" notes are recorded.
    SetMessagePresenter([this](TMessageBoxKind, const std::string& text) { notes_.push_back(text); });
    SetProgramFolders(dir_.Path());
    fs::create_directory(dir_ / "ImageOut");
    ASSERT_TRUE(SaveImageFile(TBitmap32(400, 300, kRed), dir_ / "ImageOut" / "a-red.bmp", kLeadBmp));
    ASSERT_TRUE(SaveImageFile(TBitmap32(300, 300, kGreen), dir_ / "ImageOut" / "b-green.png", kLeadPng));
    ASSERT_TRUE(SaveImageFile(TwoTone(500, 100, kBlue, kYellow), dir_ / "ImageOut" / "c-two.bmp", kLeadBmp));
    WriteTestFile(dir_ / "ImageOut" / "d-broken.jpg", "no picture here");
    WriteTestFile(dir_ / "ImageOut" / "readme.txt", "not listed");
    form_ = std::make_unique<TFormPrint>(settings_);
    form_->show();
    QCoreApplication::processEvents();  // it fills itself once up
  }
  void TearDown() override {
    form_->close();
    form_.reset();
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  void Select(const QString& name) {
    const auto items = form_->FileListBox->findItems(name, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << name.toStdString();
    form_->FileListBox->setCurrentItem(items[0]);
  }
  // A real drop event of the list's drag data on the page preview.
  void DropSelected(QWidget* target, QPoint at) {
    QMimeData* data = form_->FileListBox->model()->mimeData({form_->FileListBox->currentIndex()});
    // Qt hands a drop only to the widget that accepted the drag's entry.
    QDragEnterEvent enter(at, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(at), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &drop);
    delete data;
  }
  bool FlipShown(int position) const { return !form_->ImageFlip[position - 1]->isHidden(); }

  TMainSettings settings_;
  TempFolder dir_;
  std::vector<std::string> notes_;
  std::unique_ptr<TFormPrint> form_;
};

TEST_F(FormPrintTest, ShowListsSavedPicturesAndStartsAtLayoutOne) {
  ASSERT_EQ(form_->FileListBox->count(), 4);
  EXPECT_EQ(form_->FileListBox->item(0)->text(), "a-red.bmp");
  EXPECT_EQ(form_->FileListBox->currentRow(), 0);
  EXPECT_EQ(form_->Page().Layout(), 1);
  EXPECT_TRUE(form_->ButtonPage[0]->Pressed());
  // The first file is previewed, centred on white.
  const QImage preview = form_->ImagePreview->grab().toImage();
  EXPECT_EQ(At(preview, 61, 68), kRed);
  EXPECT_EQ(At(preview, 61, 2), Color32(255, 255, 255));
  // An unreadable file previews as white, without failing.
  Select("d-broken.jpg");
  EXPECT_EQ(At(form_->ImagePreview->grab().toImage(), 61, 68), Color32(255, 255, 255));
}

TEST_F(FormPrintTest, DropsMirrorsAndClearsSlots) {
  form_->ButtonPage1Click(4);
  EXPECT_TRUE(form_->ButtonPage[3]->Pressed());
  EXPECT_FALSE(form_->ButtonPage[0]->Pressed());
  const QImage& page = form_->PagePicture();  // 160 x 230: quarters 80 x 115

  Select("c-two.bmp");
  DropSelected(form_->ImagePage, {10, 10});
  EXPECT_EQ(form_->Page().SlotFile(1), (dir_ / "ImageOut" / "c-two.bmp").string());
  EXPECT_TRUE(FlipShown(1));
  EXPECT_EQ(At(page, 10, 57), kBlue);
  EXPECT_EQ(At(page, 70, 57), kYellow);
  // The same file in a second slot, dropped on the list preview at a page point.
  DropSelected(form_->ImagePreview, {100, 150});
  EXPECT_EQ(form_->Page().SlotFile(4), form_->Page().SlotFile(1));

  // Mirroring swaps the halves of that slot only.
  form_->CB1Click(4);
  EXPECT_TRUE(form_->Page().Mirrored(4));
  EXPECT_EQ(At(page, 90, 172), kYellow);
  EXPECT_EQ(At(page, 150, 172), kBlue);
  EXPECT_EQ(At(page, 10, 57), kBlue);

  // A file no loader reads is not placed.
  Select("d-broken.jpg");
  DropSelected(form_->ImagePage, {100, 10});
  EXPECT_FALSE(form_->Page().HasFile(2));
  EXPECT_FALSE(FlipShown(2));

  // Right-click on the empty slot repaints it empty; on a filled one clears it.
  QTest::mouseClick(form_->ImagePage, Qt::RightButton, {}, QPoint(120, 50));
  EXPECT_EQ(At(page, 120, 50), Color32(248, 248, 243));
  QTest::mouseClick(form_->ImagePage, Qt::RightButton, {}, QPoint(150, 200));
  EXPECT_FALSE(form_->Page().HasFile(4));
  EXPECT_FALSE(form_->Page().Mirrored(4));
  EXPECT_FALSE(FlipShown(4));
  EXPECT_EQ(At(page, 120, 172), Color32(248, 248, 243));
  EXPECT_TRUE(form_->Page().HasFile(1));

  // Another layout empties everything.
  form_->ButtonPage1Click(2);
  EXPECT_FALSE(form_->Page().HasFile(1));
  EXPECT_FALSE(FlipShown(1));
  EXPECT_EQ(At(page, 10, 57), Color32(248, 248, 243));
  EXPECT_EQ(At(page, 10, 115), Color32(0, 0, 0));  // the separator
}

TEST_F(FormPrintTest, EveryPrintAsksAndTellsWhereThePageWentOrWhyNot) {
  TTestTexts texts(ShippedTermins());
  Select("a-red.bmp");
  DropSelected(form_->ImagePage, {10, 10});
  TPdfPrintDialog dialog(*form_, dir_ / "missing" / "page.pdf");
  std::string told;
  AnswerNextMessage(told);
  EXPECT_FALSE(form_->OKBtnClick());
  EXPECT_EQ(dialog.Dialogs, 1);
  EXPECT_EQ(told, "The page could not be printed.\n" + dialog.File.string() + "\nThe folder does not exist.");

  // A failed job leaves the printer usable; the page printed is named after its picture.
  dialog.File = dir_ / "page.pdf";
  AnswerNextMessage(told);
  EXPECT_TRUE(form_->OKBtnClick());
  EXPECT_EQ(dialog.Dialogs, 2);
  EXPECT_EQ(told, "Printed to the file:\n" + dialog.File.string());
  const std::string info = PdfInfo(dialog.File);
  EXPECT_EQ(PdfPageCount(info), 1);
  EXPECT_NE(info.find("Tressary - a-red.bmp"), std::string::npos) << info;

  // The second print asks again (the dialog asks before it overwrites).
  AnswerNextMessage(told);
  EXPECT_TRUE(form_->OKBtnClick());
  EXPECT_EQ(dialog.Dialogs, 3);

  // A device that takes no bytes: said, and the page printed before stays whole.
  const auto before = ReadFileBytes(dir_ / "page.pdf");
  dialog.File = "/dev/full";
  told.clear();
  AnswerNextMessage(told);
  EXPECT_FALSE(form_->OKBtnClick());
  EXPECT_EQ(dialog.Dialogs, 4);
  EXPECT_EQ(told, "The page could not be printed.\n/dev/full\nThere is no space left on the disk.");
  const auto after = ReadFileBytes(dir_ / "page.pdf");
  ASSERT_TRUE(before && after);
  EXPECT_EQ(*after, *before);
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

// Through a real print system: a job the queue takes is named after its
// picture and said to have gone; one refused by the queue, or by a stopped
// scheduler, is told with the print system's reason.
TEST_F(FormPrintTest, APrintSystemThatRefusesTheJobIsHeard) {
  TPrivateCups cups;
  if (!cups.Why().empty()) GTEST_SKIP() << cups.Why() << ": jobs refused by a print system are not checked";
  TTestTexts texts(ShippedTermins());
  Select("a-red.bmp");
  DropSelected(form_->ImagePage, {10, 10});
  TQueuePrintDialog dialog(*form_);
  std::string told;
  AnswerNextMessage(told);
  EXPECT_TRUE(form_->OKBtnClick());
  EXPECT_EQ(told, "The job went to the printer:\n" + std::string(TPrivateCups::kQueue));
  EXPECT_EQ(cups.JobTitles(), std::vector<std::string>{"Tressary - a-red.bmp"});

  const std::string refused = "The page could not be printed.\n" + std::string(TPrivateCups::kQueue) +
                              "\nThe print system did not take the job:\n";
  cups.Reject();
  AnswerNextMessage(told);
  EXPECT_FALSE(form_->OKBtnClick());
  EXPECT_EQ(told.substr(0, refused.size()), refused);
  EXPECT_GT(told.size(), refused.size()) << "no reason given";
  EXPECT_EQ(cups.JobTitles().size(), 1u);

  cups.Accept();
  cups.Stop();
  AnswerNextMessage(told);
  EXPECT_FALSE(form_->OKBtnClick());
  EXPECT_EQ(told, "The page could not be printed.\n" + std::string(TPrivateCups::kQueue) +
                      "\nThe print system is not running.");
}

// The set-up button's dialog chooses a printer and prints nothing; its button says so.
TEST_F(FormPrintTest, SetUpChoosesThePrinterWithoutPrinting) {
  TTestTexts texts(ShippedTermins());
  QString button;
  QTimer::singleShot(0, [&button] {
    QWidget* dialog = QApplication::activeModalWidget();
    auto* box = dialog ? dialog->findChild<QDialogButtonBox*>() : nullptr;
    if (box && box->button(QDialogButtonBox::Ok)) button = box->button(QDialogButtonBox::Ok)->text();
    if (dialog) QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
  });
  form_->ButSetupPrClick();
  EXPECT_EQ(button, "Use this printer");

  TPdfPrintDialog dialog(*form_, dir_ / "setup.pdf");
  form_->ButSetupPrClick();
  EXPECT_EQ(dialog.Dialogs, 1);
  EXPECT_FALSE(fs::exists(dialog.File));
}

TEST_F(FormPrintTest, PrintsFourPicturesOnOneA4PageInsideTheirBoxes) {
  ASSERT_TRUE(SaveImageFile(TBitmap32(100, 50, kMagenta), dir_ / "LogoPrvt.bmp", kLeadBmp));
  form_->ButtonPage1Click(4);
  Select("a-red.bmp");
  DropSelected(form_->ImagePage, {10, 10});
  Select("b-green.png");
  DropSelected(form_->ImagePage, {100, 10});
  Select("c-two.bmp");
  DropSelected(form_->ImagePage, {10, 150});
  DropSelected(form_->ImagePage, {100, 150});
  form_->CB1Click(4);

  QPrinter& printer = form_->Printer();
  const fs::path pdf = dir_ / "page.pdf";
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setResolution(300);
  TPdfPrintDialog dialog(*form_, pdf);
  std::string told;
  AnswerNextMessage(told);
  ASSERT_TRUE(form_->OKBtnClick());

  const std::string info = PdfInfo(pdf);
  EXPECT_EQ(PdfPageCount(info), 1) << info;
  EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
  const QImage rendered = RenderPdfPage(pdf, 100);
  ASSERT_FALSE(rendered.isNull());

  // Boxes lie in the printable area (from the page corner plus the printer's
  // margins), centred in it.
  const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Millimeter);
  const TPoint origin{int(paint.left() * 10), int(paint.top() * 10)};
  const TPrintableArea area = PrintableArea(printer.widthMM(), printer.heightMM(), 5, 10);
  auto expectInside = [&](TColor32 colour, int position, int w, int h, TRect expected) {
    if (expected.IsEmpty()) expected = PrintPlacement(4, position, w, h, area);
    expected = expected.Offset(origin.X, origin.Y);
    // Search only the picture's quarter of the page, in pixels at 100 dpi.
    const TRect quarter =
        TRect{position % 2 ? 0 : area.Width / 2, position <= 2 ? 0 : area.Height / 2,
              position % 2 ? area.Width / 2 : area.Width, position <= 2 ? area.Height / 2 : area.Height}
            .Offset(origin.X + area.Left, origin.Y + area.Top);
    auto px = [](int tenths) { return int(tenths * 100 / 254.0); };
    const TRect found =
        FindColourTenths(rendered, colour, 100, {px(quarter.Left), px(quarter.Top), px(quarter.Right), px(quarter.Bottom)});
    ASSERT_FALSE(found.IsEmpty()) << position;
    EXPECT_GE(found.Left, expected.Left - 10) << position;
    EXPECT_GE(found.Top, expected.Top - 10) << position;
    EXPECT_LE(found.Right, expected.Right + 10) << position;
    EXPECT_LE(found.Bottom, expected.Bottom + 10) << position;
    EXPECT_NEAR(found.Width(), expected.Width(), 10) << position;
    EXPECT_NEAR(found.Height(), expected.Height(), 10) << position;
  };
  expectInside(kRed, 1, 400, 300, {});
  expectInside(kGreen, 2, 300, 300, {});
  // Position 3 plain (blue left), position 4 mirrored (blue right): the same file twice.
  const TRect third = PrintPlacement(4, 3, 500, 100, area);
  const TRect fourth = PrintPlacement(4, 4, 500, 100, area);
  expectInside(kBlue, 3, 500, 100, {third.Left, third.Top, third.Left + third.Width() / 2, third.Bottom});
  expectInside(kBlue, 4, 500, 100, {fourth.Left + fourth.Width() / 2, fourth.Top, fourth.Right, fourth.Bottom});
  expectInside(kYellow, 4, 500, 100, {fourth.Left, fourth.Top, fourth.Left + fourth.Width() / 2, fourth.Bottom});
  // The house picture: 100 x 50 pixels as tenths of a millimetre at the origin.
  const TRect logo = FindColourTenths(rendered, kMagenta, 100);
  EXPECT_NEAR(logo.Left, origin.X, 10);
  EXPECT_NEAR(logo.Top, origin.Y, 10);
  EXPECT_NEAR(logo.Width(), 100, 10);
  EXPECT_NEAR(logo.Height(), 50, 10);
}

// The print window opens in the middle of the screen, wherever the main window
// has been dragged before its first use made it.
TEST(PrintWindow, MadeAfterTheMainWindowWasDraggedItOpensInTheMiddleOfTheScreen) {
  TMainSettings settings;
  const std::optional<QPoint> off = CentreOffAfterMainDrag([&settings] { RegisterFormPrint(settings); }, "FormPrint");
  ASSERT_TRUE(off);
  EXPECT_LE(off->manhattanLength(), 1) << off->x() << "," << off->y();
}

}  // namespace
