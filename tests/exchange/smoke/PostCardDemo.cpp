// postcard-demo <installation> <out folder> <background picture>: the post-card
// composer over the installation's default interface, driven as a user would:
// the background picture is chosen in the open-picture dialog (its preview is
// written out), tiled, the work's corner is dragged with the mouse, two shadowed
// turned texts come through the text editor, the card is saved through the save
// dialog and printed to PDF. Writes into the out folder: preview.png and
// preview.txt (the dialog's preview and caption), card.png, card.pdf, view.png
// (the card as the view shows it) and geometry.txt (the view on the screen).
#include <QApplication>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>

#include "exchange/forms/FormPostCard.h"
#include "shell/MainSettings.h"
#include "exchange/forms/OpenPictureDialog.h"
#include "picture/forms/BitmapImage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/GraphicSlider.h"
#include "support/FakeWorkPicture.h"
#include "support/qt/SmokeDemo.h"

namespace {

// Runs `step` every 50 ms until it returns true (it then stops).
void Until(std::function<bool()> step) {
  auto* timer = new QTimer(qApp);
  QObject::connect(timer, &QTimer::timeout, [timer, step] {
    if (step()) timer->deleteLater();
  });
  timer->start(50);
}

// The text editor, once it is up, filled and confirmed.
void TypeText(TFormPostCard& card, const QString& words, int rotation) {
  Until([&card, words, rotation] {
    if (!card.TextEditor->isVisible()) return false;
    card.TextEditor->MemoText->setPlainText(words);
    card.TextEditor->SliderTextSize->SetValue(44);
    card.TextEditor->SliderShadowSize->SetValue(3);
    card.TextEditor->SliderTextRotation->SetValue(rotation);
    card.TextEditor->ButtonOK->OnClick();
    return true;
  });
  card.ButtonAddTextClick();
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 4) return 2;
  TSmokeDemo demo(argc, argv, argv[1]);
  const std::string out = argv[2];
  const QString background = QString::fromLocal8Bit(argv[3]);

  // The work: a red square with a yellow band, as the desk would export it.
  FakeWork work;
  work.picture = TBitmap32(160, 160, Color32(200, 30, 30));
  for (int y = 60; y < 100; ++y)
    for (int x = 0; x < 160; ++x) work.picture.SetPixel(x, y, Color32(240, 220, 30));
  TFormPostCard card(work, demo.Settings);
  card.show();

  QTimer::singleShot(300, [&] {
    // The background picture through the open dialog: its preview must show it.
    TPelmoOpenPictureDialog& dialog = *card.BackEditor->OpenPictureDialog;
    dialog.setDirectory(QFileInfo(background).absolutePath());
    Until([&dialog, background, out] {
      if (!dialog.isVisible()) return false;
      // A click on the file in the list, once the list has read the folder.
      auto* list = dialog.findChild<QListView*>("listView");
      auto* files = list ? qobject_cast<QFileSystemModel*>(list->model()) : nullptr;
      if (!files) return DemoFail("the open dialog has no file list"), true;
      const QRect item = list->visualRect(files->index(QFileInfo(background).absoluteFilePath()));
      if (item.isEmpty()) return false;
      DemoClick(list->viewport(), item.center());
      if (dialog.Picture().Empty()) return DemoFail("a click on the picture gave no preview"), true;
      dialog.PaintBox->grab().save(QString::fromStdString(out + "/preview.png"));
      std::ofstream(out + "/preview.txt") << dialog.PictureLabel->text().toStdString() << '\n';
      static_cast<QDialog&>(dialog).accept();
      return true;
    });
    card.BackEditor->ButtonLoadImageClick();
    card.BackEditor->PlacementClick(kPlaceTile);

    // The bottom-right corner dragged out with the mouse, the top-left in, then
    // the right edge pulled out: the square work ends wider than high.
    auto drag = [&card](QPoint from, QPoint to) {
      QTest::mousePress(card.ResImage, Qt::LeftButton, {}, from);
      for (int i = 1; i <= 10; ++i) QTest::mouseMove(card.ResImage, from + (to - from) * i / 10);
      QTest::mouseRelease(card.ResImage, Qt::LeftButton, {}, to);
    };
    const TFloatPoint before = card.Image().Handles()[4];
    drag(QPoint(321, 320), QPoint(381, 350));
    drag(QPoint(161, 160), QPoint(181, 200));
    drag(QPoint(366, 277), QPoint(406, 290));
    if (card.Image().Handles()[4] == before) return void(DemoFail("the corner did not follow the mouse"));

    TypeText(card, "Greetings", 20);
    TypeText(card, "from here", -30);
    if (card.Elements().size() != 4) return void(DemoFail("the texts did not reach the card"));
    drag(QPoint(100, 100), QPoint(120, 380));  // the second text, down

    // Saved through the save dialog, printed to PDF.
    Until([&card, out] {
      auto* save = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!save) return false;
      // The name typed into the dialog's name box (where the focus is).
      auto* name = save->findChild<QLineEdit*>("fileNameEdit");
      if (!name) return DemoFail("the save dialog has no name box"), true;
      name->setText(QString::fromStdString(out + "/card.png"));
      static_cast<QDialog*>(save)->accept();
      return true;
    });
    card.ButtonSaveClick();
    QPrinter& printer = card.Printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(out + "/card.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    if (!card.PrintCardOn(printer)) return void(DemoFail("the card did not print"));

    card.RenderCard();
    ImageView(card.Card()).save(QString::fromStdString(out + "/view.png"));
    QTimer::singleShot(300, [&card, out] {
      const QPoint origin = card.ResImage->mapToGlobal(QPoint(0, 0));
      std::ofstream(out + "/geometry.txt") << origin.x() << ' ' << origin.y() << '\n';
    });
  });
  return QApplication::exec();
}
