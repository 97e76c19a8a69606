// The post-card composer and its label on real widgets: a turned shadowed label
// inside its box, a composed card saved as PNG and judged by Pillow, printed to
// PDF and judged by poppler, the element list and the closing question.
#include "exchange/forms/FormPostCard.h"

#include <gtest/gtest.h>

#include <sstream>

#include <QApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTimer>

#include "PdfJudge.h"
#include "exchange/PrintLayout.h"
#include "platform/ProgramFolders.h"
#include "shell/forms/GraphicButton.h"
#include "editor/MainShell.h"
#include "exchange/forms/FormPostCardBack.h"
#include "exchange/forms/FormPostCardText.h"
#include "exchange/forms/OpenPictureDialog.h"
#include "exchange/forms/ProLabel.h"
#include "shell/forms/ColorFace.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/GraphicSlider.h"
#include <QPlainTextEdit>
#include "picture/Lead.h"
#include "picture/forms/BitmapImage.h"
#include "platform/qt/MessageBoxes.h"
#include "support/FakeWorkPicture.h"
#include "support/ShippedTexts.h"
#include "support/TestPaths.h"
#include "support/qt/MessageAnswer.h"
#include "support/qt/PdfPrintDialog.h"
#include "support/ShippedTexts.h"

namespace {

const TColor32 kWork = Color32(200, 40, 40), kTile = Color32(30, 90, 210), kText = Color32(250, 230, 20),
               kShadow = Color32(10, 10, 10);

// The box of the pixels a painting left non-transparent.
TRect InkBox(const TBitmap32& b, std::function<bool(TColor32)> ink = [](TColor32 c) { return AlphaOf(c) > 0; }) {
  TRect box{b.Width(), b.Height(), -1, -1};
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (ink(b.Pixel(x, y)))
        box = {std::min(box.Left, x), std::min(box.Top, y), std::max(box.Right, x + 1), std::max(box.Bottom, y + 1)};
  return box.Right < 0 ? TRect{} : box;
}

TCardText ShadowedText(const QString& words, int rotation) {
  TCardText text;
  text.Lines = words.split('\n');
  text.Size = 40;
  text.Style = 1;
  text.Color = kText;
  text.ShadowSize = 4;
  text.ShadowDirection = 7;  // down-right
  text.ShadowColor = kShadow;
  text.Rotation = rotation;
  return text;
}

TEST(ProLabel, ATurnedShadowedTextStaysInsideTheSquareItsRuleGives) {
  for (int angle : {30, 90, 135, 300}) {
    TProLabel label;
    label.Caption = "Tressary";
    QFont font = label.font();
    font.setPixelSize(40);
    label.setFont(font);
    label.FontColor = kText;
    label.Transparent = true;
    label.Alignment = Qt::AlignHCenter;
    label.SetVerticalAlignment(vaCenter);
    label.SetShadowDirection(drDownRight);
    label.SetShadowDepth(1);
    label.SetShadowSize(4);
    label.SetShadowColor(kShadow);
    label.SetAngle(angle);
    EXPECT_EQ(label.Look().Style, ssCustom);
    const QFontMetrics metrics(font);
    const TPoint size = CardLabelSize(metrics.horizontalAdvance("Tressary"), metrics.height(), 1, 4, angle);
    label.resize(size.X, size.Y);

    // Painted unclipped in the middle of a larger picture: no ink may fall outside
    // the label's square, and the turned text fills it along its long side.
    TBitmap32 canvas(size.X + 80, size.Y + 80, 0);
    {
      QImage view = WritableImageView(canvas);
      QPainter painter(&view);
      painter.translate(40, 40);
      label.PaintTo(painter);
    }
    const TRect ink = InkBox(canvas);
    ASSERT_FALSE(ink.IsEmpty()) << angle;
    EXPECT_GE(ink.Left, 40) << angle;
    EXPECT_GE(ink.Top, 40) << angle;
    EXPECT_LE(ink.Right, 40 + size.X) << angle;
    EXPECT_LE(ink.Bottom, 40 + size.Y) << angle;
    const TRotatedText turned = RotateText(metrics.horizontalAdvance("Tressary"), metrics.height(), angle);
    EXPECT_GE(std::max(ink.Width(), ink.Height()), 0.8 * std::max(turned.Width, turned.Height)) << angle;
    // The shadow reaches further down-right than the face.
    const TRect face = InkBox(canvas, [](TColor32 c) { return AlphaOf(c) > 200 && RedOf(c) > 200 && GreenOf(c) > 180; });
    const TRect shadow = InkBox(canvas, [](TColor32 c) { return AlphaOf(c) > 200 && RedOf(c) < 40; });
    EXPECT_GT(shadow.Right, face.Right) << angle;
    EXPECT_GT(shadow.Bottom, face.Bottom) << angle;
  }
}

TEST(FormPostCardText, OnlyAOneLineTextTurnsAndTheFieldsComeBackAsSet) {
  TFormPostCardText editor;
  TCardText text = ShadowedText("Hello", 30);
  text.Style = 2;
  text.Alignment = 2;
  editor.SetText(text);
  TCardText back = editor.Text();
  EXPECT_EQ(back.Lines, QStringList{"Hello"});
  EXPECT_EQ(back.Rotation, 30);
  EXPECT_EQ(back.Style, 2);
  EXPECT_EQ(back.Size, 40);
  EXPECT_EQ(back.ShadowDirection, 7);
  EXPECT_EQ(back.Alignment, 2);
  EXPECT_TRUE(editor.MemoText->font().italic());
  editor.MemoText->setPlainText("Hello\nthere");
  EXPECT_EQ(editor.Text().Rotation, 0);
  editor.SliderTextRotation->SetValue(45);
  EXPECT_EQ(editor.Text().Rotation, 0);
}

class PostCardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});  // skins are not installed here
    SetProgramFolders(dir_.Path());
    work_.picture = TBitmap32(200, 100, kWork);
    ASSERT_TRUE(SaveImageFile(TBitmap32(40, 30, kTile), dir_ / "tile.png", kLeadPng));
    card_ = std::make_unique<TFormPostCard>(work_, settings_);
    card_->show();
  }
  void TearDown() override {
    if (card_->isVisible()) {
      if (card_->Changed()) AnswerYes();
      card_->close();
    }
    card_.reset();
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  static void AnswerYes() {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [poll] {
      if (!FormMessage || !FormMessage->isVisible()) return;
      FormMessage->ButtonYes->OnClick();
      poll->deleteLater();
    });
    poll->start(10);
  }
  // A tiled picture background, the work pulled wider by its right edge, and two
  // turned shadowed texts.
  void Compose() {
    ASSERT_TRUE(card_->LoadBackgroundImage(dir_ / "tile.png", kPlaceTile));
    card_->SetColorBackground(false);
    card_->BackEditor->PlacementClick(kPlaceTile);
    card_->ViewMouseDown(341, 240, Qt::LeftButton);  // the right-edge middle
    card_->ViewMouseMove(381, 240, Qt::LeftButton);
    card_->ViewMouseUp();
    ASSERT_TRUE(card_->AddText(ShadowedText("Hello", 20)));
    ASSERT_TRUE(card_->AddText(ShadowedText("World", -45)));
    card_->ViewMouseDown(10, 10, Qt::LeftButton);  // the second text, moved down
    card_->ViewMouseMove(10, 330, Qt::LeftButton);
    card_->ViewMouseUp();
  }

  TMainSettings settings_;
  TempFolder dir_;
  FakeWork work_;
  std::unique_ptr<TFormPostCard> card_;
};

TEST_F(PostCardTest, AComposedCardSavedAsPngOpensInPillowAtCardSize) {
  Compose();
  const fs::path png = dir_ / "card.png";
  ASSERT_TRUE(card_->SaveCard(png));
  EXPECT_FALSE(card_->Changed());
  std::string out;
  ASSERT_EQ(RunCommand("/usr/bin/python3 -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]).convert('RGB'); "
                       "print(im.size[0], im.size[1], *im.getpixel((5, 5)), *im.getpixel((370, 240)), *im.getpixel((141, 190)))\" " +
                           png.string(),
                       &out),
            0);
  std::istringstream in(out);
  int w = 0, h = 0, tile[3], work[3], corner[3];
  in >> w >> h >> tile[0] >> tile[1] >> tile[2] >> work[0] >> work[1] >> work[2] >> corner[0] >> corner[1] >> corner[2];
  EXPECT_EQ(w, TFormPostCard::kCardWidth);
  EXPECT_EQ(h, TFormPostCard::kCardHeight);
  EXPECT_EQ(Color32(tile[0], tile[1], tile[2]), kTile);
  // Past the work's old right edge (341): pulled 40 pixels wider.
  EXPECT_EQ(Color32(work[0], work[1], work[2]), kWork);
  // No handle squares on the saved card.
  EXPECT_EQ(Color32(corner[0], corner[1], corner[2]), kWork);
  // The texts and their shadows are on it.
  const TBitmap32 card = card_->RenderedCard();
  EXPECT_FALSE(InkBox(card, [](TColor32 c) { return c == (kText | 0xFF000000u); }).IsEmpty());
  const TRect shadow = InkBox(card, [](TColor32 c) { return RedOf(c) < 30 && GreenOf(c) < 30 && BlueOf(c) < 30; });
  EXPECT_GT(shadow.Bottom, 330);
}

TEST_F(PostCardTest, PrintedToPdfTheCardFillsThePrintableWidthOfOnePage) {
  Compose();
  QPrinter& printer = card_->Printer();
  const fs::path pdf = dir_ / "card.pdf";
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setResolution(150);
  ASSERT_TRUE(card_->PrintCardOn(printer));
  const std::string info = PdfInfo(pdf);
  EXPECT_EQ(PdfPageCount(info), 1) << info;
  const QImage page = RenderPdfPage(pdf, 100);
  ASSERT_FALSE(page.isNull());
  const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Millimeter);
  const TPrintableArea area = PrintableArea(printer.widthMM(), printer.heightMM(), settings_.LeftRightMargin, settings_.TopBottomMargin);
  const TRect tiles = FindColourTenths(page, kTile, 100);
  ASSERT_FALSE(tiles.IsEmpty());
  // Centred in the printable area: the margins shared by both sides.
  EXPECT_NEAR(tiles.Left, paint.left() * 10 + area.Left, 15);
  EXPECT_NEAR(tiles.Right, paint.left() * 10 + area.Left + area.Width, 15);
  const int height = area.Width * TFormPostCard::kCardHeight / TFormPostCard::kCardWidth;
  EXPECT_NEAR(tiles.Top, paint.top() * 10 + area.Top + (area.Height - height) / 2, 15);
}

// The card's Print goes through the window's printer: a failed job is told, and
// the printer renewed prints the next one.
TEST_F(PostCardTest, PrintTellsAFailedJobAndTheNextOnePrints) {
  TTestTexts texts(ShippedTermins());
  Compose();
  TPdfPrintDialog dialog(*card_, "/dev/full");
  std::string told;
  AnswerNextMessage(told);
  card_->ButtonPrint->OnClick();
  EXPECT_EQ(dialog.Dialogs, 1);
  EXPECT_EQ(told, "The post card could not be printed.\n/dev/full\nThere is no space left on the disk.");
  dialog.File = dir_ / "card.pdf";
  AnswerNextMessage(told);
  card_->ButtonPrint->OnClick();
  EXPECT_EQ(dialog.Dialogs, 2);
  EXPECT_EQ(told, "Printed to the file:\n" + dialog.File.string());
  const std::string info = PdfInfo(dialog.File);
  EXPECT_EQ(PdfPageCount(info), 1) << info;
  EXPECT_NE(info.find("Tressary - Post card"), std::string::npos) << info;
}

// Each new text starts in the look the last one was given; only its words are new.
TEST_F(PostCardTest, AddTextKeepsTheEditorsLastLookAndEmptiesOnlyTheWords) {
  TFormPostCardText& editor = *card_->TextEditor;
  std::vector<TCardText> offered;
  // Runs the editor's modal loop: records what it was opened with, then sets
  // `words` (and, the first time, a look of its own) and presses OK.
  auto answer = [&](const QString& words, std::optional<TCardText> look) {
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, [&editor, &offered, poll, words, look] {
      if (!editor.isVisible()) return;
      poll->stop();
      poll->deleteLater();
      offered.push_back(editor.Text());
      if (look) editor.SetText(*look);
      editor.MemoText->setPlainText(words);
      editor.ButtonOK->OnClick();
    });
    poll->start(10);
  };
  TCardText look = ShadowedText("", 0);
  look.Style = 2;
  look.Alignment = 0;
  answer("Hello", look);
  card_->ButtonAddTextClick();
  answer("World", std::nullopt);
  card_->ButtonAddTextClick();
  ASSERT_EQ(offered.size(), 2u);
  ASSERT_EQ(card_->Elements().size(), 4u);
  EXPECT_TRUE(offered[0].Lines.join("").isEmpty());
  const TCardText& second = offered[1];
  EXPECT_TRUE(second.Lines.join("").isEmpty());
  EXPECT_EQ(second.Size, 40);
  EXPECT_EQ(second.Style, 2);
  EXPECT_EQ(second.Color, kText);
  EXPECT_EQ(second.ShadowSize, 4);
  EXPECT_EQ(second.ShadowDirection, 7);
  EXPECT_EQ(second.ShadowColor, kShadow);
  EXPECT_EQ(second.Alignment, 0);
  EXPECT_EQ(card_->BackEditor->ButtonBackgroundColor->cursor().shape(), ProgramCursor(crPipette).shape());
}

TEST_F(PostCardTest, TheElementListOrdersTheDrawingAndClosingAsksOnlyAfterAChange) {
  // Just opened: closes without a question.
  card_->close();
  EXPECT_FALSE(card_->isVisible());
  card_->show();
  ASSERT_TRUE(card_->AddText(ShadowedText("one\ntwo\nthree", 0)));
  EXPECT_EQ(card_->ListBoxElements->item(2)->text(), "one...");
  // The background dropped onto the image line is drawn over the image.
  EXPECT_EQ(card_->RenderedCard().Pixel(240, 240), kWork);
  card_->SwapElements(0, 1);
  EXPECT_EQ(card_->Elements()[1].Kind, ekBackground);
  EXPECT_EQ(card_->RenderedCard().Pixel(240, 240), Color32(255, 255, 255));
  // The image and the background cannot be deleted; a text can.
  card_->DeleteElement(1);
  card_->DeleteElement(2);
  EXPECT_EQ(card_->Elements().size(), 2u);

  std::string question;
  AnswerNextMessage(question);  // closing the box answers no
  card_->close();
  EXPECT_FALSE(question.empty());
  EXPECT_TRUE(card_->isVisible());
}

}  // namespace

TEST_F(PostCardTest, TheBackgroundPictureDialogNamesItsFiltersInTheProgramsWords) {
  QStringList filters;
  {
    TTestTexts texts(ShippedTermins());
    TFormPostCardBack back(*card_, settings_);
    filters = back.OpenPictureDialog->nameFilters();
  }
  ASSERT_GE(filters.size(), 3);
  EXPECT_TRUE(filters.front().startsWith("All supported pictures (")) << filters.front().toStdString();
  EXPECT_TRUE(filters.front().contains("*.psd")) << "every picture type is in the first filter";
  EXPECT_TRUE(filters.contains("Photoshop files (*.psd *.PSD)")) << filters.join(" | ").toStdString();
  EXPECT_EQ(filters.back(), "All files (*)");
}
