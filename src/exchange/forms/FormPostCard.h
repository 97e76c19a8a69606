#pragma once
// The post-card composer: the flattened work on a card, moved, turned and
// distorted by eight handles, over a plain or picture background, with any number
// of shadowed, turned texts; saved as a picture, printed on one page or mailed.
#include <QListWidget>
#include <filesystem>
#include <memory>
#include <vector>

#include "exchange/CardQuad.h"
#include "exchange/PictureOutput.h"
#include "exchange/forms/FormPostCardBack.h"
#include "exchange/forms/FormPostCardText.h"
#include "shell/forms/PrintChoice.h"
#include "shell/forms/SkinnedForm.h"

class TCardView;
class TElementList;
class TProLabel;
class TWorkMailer;
class IWorkMailUi;
struct TMainSettings;

enum TCardElementKind { ekBackground = 0, ekImage = 1, ekText = 2 };

struct TCardElement {
  TCardElementKind Kind = ekBackground;
  TCardText Text;                    // a text element's settings
  std::unique_ptr<TProLabel> Label;  // a text element's label: its place and size on the card
};

class TFormPostCard : public TSkinnedForm, public ICardBackgroundHost {
  Q_OBJECT

 public:
  static constexpr int kCardWidth = 482;
  static constexpr int kCardHeight = 481;

  // `work` gives the flattened work each time the window is shown.
  // Saves to the picture folder of `settings`, prints with its margins and mails
  // with its mail settings.
  TFormPostCard(IWorkPicture& work, const TMainSettings& settings, QWidget* parent = nullptr);
  ~TFormPostCard() override;

  TCaptionBar* CaptionBar;
  TGraphicButton* ButtonExit;
  TMyImage* ImageButtons;
  TCardView* ResImage;
  TElementList* ListBoxElements;
  TGraphicButton* ButtonAddText;
  TGraphicButton* ButtonSave;
  TGraphicButton* ButtonPrint;
  TGraphicButton* ButtonSend;
  // The editors (the composer's own unless set before showing).
  TFormPostCardText* TextEditor;
  TFormPostCardBack* BackEditor;

  const TBitmap32& Card() const { return card_; }
  // The card as it leaves the window: drawn without handles.
  TBitmap32 RenderedCard();
  TCardImage& Image() { return image_; }
  const std::vector<TCardElement>& Elements() const { return elements_; }
  int Selected() const { return selected_; }
  bool Changed() const { return changed_; }

  void RenderCard();
  bool LoadBackgroundImage(const std::filesystem::path& file, int placement) override;
  void SetColorBackground(bool plain) override;
  void BackgroundChanged() override;

  // Appends a text element as the text editor's OK does; false for an empty text.
  bool AddText(const TCardText& text);
  void ButtonAddTextClick();
  // Saves the card in the format of the name's extension; false when it failed.
  bool SaveCard(const std::filesystem::path& file);
  void ButtonSaveClick();
  // Prints the card on one page of `printer`; false when it failed.
  bool PrintCardOn(QPrinter& printer);
  // Prints the card through the print dialog and tells how it went.
  void ButtonPrintClick();
  void ButtonSendClick();
  // The printer the card is printed with (renewed after a failed job).
  QPrinter& Printer() { return printer_.Printer(); }
  TWindowPrinter& WindowPrinter() { return printer_; }

  // The element list's events, by row.
  void SelectElement(int row);
  void EditElement(int row);
  void SwapElements(int from, int to);
  void DeleteElement(int row);
  // The view's mouse, in card pixels.
  void ViewMouseDown(int x, int y, Qt::MouseButton button);
  void ViewMouseMove(int x, int y, Qt::MouseButtons buttons);
  void ViewMouseUp();

 private:
  class TCardPicture;
  const TMainSettings& settings_;
  void FormShow();
  void ApplyText(TCardElement& element);
  void RefreshList();
  void DrawHandles();
  void PaintLabel(const TProLabel& label);

  IWorkPicture& work_;
  std::unique_ptr<TFormPostCardText> ownTextEditor_;
  std::unique_ptr<TFormPostCardBack> ownBackEditor_;
  std::unique_ptr<TCardPicture> cardPicture_;
  std::unique_ptr<IWorkMailUi> mailUi_;
  std::unique_ptr<TWorkMailer> mailer_;
  TWindowPrinter printer_;
  std::vector<TCardElement> elements_;
  TBitmap32 card_;
  TBitmap32 workBitmap_;
  TCardImage image_;
  TBitmap32 backgroundSource_;
  TBitmap32 backgroundPicture_;
  bool plainColor_ = true;
  bool showHandles_ = true;
  bool changed_ = false;
  bool buttonHeld_ = false;
  int selected_ = -1;
  QPoint last_;
};

// The view of the card: paints it and passes the mouse on.
class TCardView : public QWidget {
  Q_OBJECT
 public:
  TCardView(TFormPostCard& form, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TFormPostCard& form_;
};

// The element list: a click selects, a double click edits, dragging one line onto
// another swaps them, Delete removes a text.
class TElementList : public QListWidget {
  Q_OBJECT
 public:
  TElementList(TFormPostCard& form, QWidget* parent);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  TFormPostCard& form_;
  int pressed_ = -1;
};

// The composer with its two editors, modally, over `work` and `settings`;
// nothing for an empty work ("MessageWorkIsEmpty").
void RunPostCard(IWorkPicture& work, const TMainSettings& settings);
