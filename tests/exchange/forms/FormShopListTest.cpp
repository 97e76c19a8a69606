// The shop list window: built from the two lists and the desk's layers, hover
// and click on addresses, and the printed list judged by poppler.
#include "exchange/forms/FormShopList.h"

#include <gtest/gtest.h>

#include <QPrinter>
#include <QRegularExpression>

#include "PdfJudge.h"
#include "editor/MainShell.h"
#include "platform/ProgramFolders.h"
#include "platform/ShellOpen.h"
#include "platform/qt/MessageBoxes.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/PrintChoice.h"
#include "support/qt/MessageAnswer.h"
#include "support/RecordingOpener.h"
#include "support/qt/PdfPrintDialog.h"
#include "support/ShippedTexts.h"

namespace {

constexpr int kRows = 14;

class FormShopListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([](TMessageBoxKind, const std::string&) {});
    SetProgramFolders({});
    SetShellOpener(&opener_);
    // Row i sells at two shops of its own; the first row's second shop has an
    // address that must never be handed to the desktop.
    std::string shops, parts;
    for (int i = 0; i < kRows; ++i) {
      const std::string a = std::to_string(2 * i + 1), b = std::to_string(2 * i + 2);
      shops += a + "; " + std::to_string(10000 + i) + "; Shopalpha" + std::to_string(i) + "; https://a" + a +
               ".example.com\n";
      shops += b + "; 99999; Shopbeta" + std::to_string(i) + "; " +
               (i == 0 ? "file:///etc/passwd" : "https://b" + b + ".example.com") + "\n";
      parts += "T" + std::to_string(i) + ".psd; " + a + ", " + b + "\n";
      layers_.push_back({{"T" + std::to_string(i) + ".psd", -1}, TBitmap32(80, 40, Color32(200, 20, 20))});
    }
    WriteTestFile(dir_ / "shops.txt", shops);
    WriteTestFile(dir_ / "partshops.txt", parts);
  }
  void TearDown() override {
    SetShellOpener(nullptr);
    SetMessagePresenter({});
    SetProgramFolders({});
  }
  // The grid's point over line `line` of the address cell of data row `row` (0-based).
  QPoint AddressLine(const TFormShopList& form, int row, int line) const {
    int y = form.GridRowHeight(0) + 1;
    for (int r = 1; r <= row; ++r) y += form.GridRowHeight(r) + 1;
    const int x = form.GridColumnWidth(0) + form.GridColumnWidth(1) + 2 + 20;
    return {x, y + line * form.GridRowHeight(row + 1) / 2 + 3};
  }

  TMainSettings settings_;
  TempFolder dir_;
  TRecordingOpener opener_;
  std::vector<TShopListLayer> layers_;
};

TEST_F(FormShopListTest, AddressesUnderTheMouseOpenOnlyWebAndMail) {
  TFormShopList form(dir_.Path(), layers_, settings_);
  ASSERT_EQ(form.Rows().size(), std::size_t(kRows));
  form.DrawGridMouseMove(AddressLine(form, 1, 1).x(), AddressLine(form, 1, 1).y());
  EXPECT_EQ(form.HoverUrl(), "https://b4.example.com");
  form.DrawGridMouseDown();
  form.DrawGridMouseMove(AddressLine(form, 0, 1).x(), AddressLine(form, 0, 1).y());
  EXPECT_EQ(form.HoverUrl(), "file:///etc/passwd");
  form.DrawGridMouseDown();
  // Over the shops column nothing is under the mouse any more.
  form.DrawGridMouseMove(form.GridColumnWidth(0) + 5, AddressLine(form, 0, 0).y());
  EXPECT_EQ(form.HoverUrl(), "");
  form.DrawGridMouseDown();
  EXPECT_EQ(opener_.opened, std::vector<std::string>{"https://b4.example.com"});

  // Without the lists there is no row and hovering does nothing.
  fs::remove(dir_ / "partshops.txt");
  TFormShopList empty(dir_.Path(), layers_, settings_);
  EXPECT_TRUE(empty.Rows().empty());
  empty.DrawGridMouseMove(AddressLine(empty, 0, 0).x(), AddressLine(empty, 0, 0).y());
  EXPECT_EQ(empty.HoverUrl(), "");
  QPrinter printer;
  EXPECT_FALSE(empty.PrintList(printer));
}

TEST_F(FormShopListTest, EveryPrintAsksAndTellsWhereTheListWentOrWhyNot) {
  TTestTexts texts(ShippedTermins());
  TFormShopList form(dir_.Path(), layers_, settings_);
  TPdfPrintDialog dialog(form, "/dev/full");
  std::string told;
  AnswerNextMessage(told);
  form.ButtonPrint->OnClick();
  EXPECT_EQ(dialog.Dialogs, 1);
  EXPECT_EQ(told, "The shop list could not be printed.\n/dev/full\nThere is no space left on the disk.");
  dialog.File = dir_ / "shops.pdf";
  AnswerNextMessage(told);
  form.ButtonPrint->OnClick();
  EXPECT_EQ(dialog.Dialogs, 2);
  EXPECT_EQ(told, "Printed to the file:\n" + dialog.File.string());
  const std::string info = PdfInfo(dialog.File);
  EXPECT_GE(PdfPageCount(info), 1);
  EXPECT_NE(info.find("Tressary - Where to buy"), std::string::npos) << info;
}

TEST_F(FormShopListTest, PrintedListNamesEveryShopWithRowsKeptWhole) {
  TFormShopList form(dir_.Path(), layers_, settings_);
  const fs::path pdf = dir_ / "shops.pdf";
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(pdf.string()));
  printer.setPageSize(QPageSize(QPageSize::A4));
  ASSERT_TRUE(form.PrintList(printer));

  const int pages = PdfPageCount(PdfInfo(pdf));
  // Fifteen strips of about 6 cm at A4 width cannot share one page.
  ASSERT_GE(pages, 2);
  std::vector<std::string> pageText;
  for (int page = 1; page <= pages; ++page) {
    std::string text;
    ASSERT_EQ(RunCommand("pdftotext -f " + std::to_string(page) + " -l " + std::to_string(page) + " " + pdf.string() +
                             " -",
                         &text),
              0);
    pageText.push_back(text);
  }
  for (int i = 0; i < kRows; ++i) {
    const std::string alpha = "Shopalpha" + std::to_string(i) + "\n", beta = "Shopbeta" + std::to_string(i) + "\n";
    int found = 0;
    for (const std::string& text : pageText) {
      const bool hasAlpha = text.find(alpha) != std::string::npos, hasBeta = text.find(beta) != std::string::npos;
      EXPECT_EQ(hasAlpha, hasBeta) << "row " << i << " is split across pages";
      found += hasAlpha;
    }
    EXPECT_EQ(found, 1) << "row " << i;
  }
  EXPECT_NE(pageText[0].find("https://a1.example.com"), std::string::npos) << pageText[0];
  EXPECT_NE(pageText[0].find("Postal code"), std::string::npos);
}

}  // namespace
