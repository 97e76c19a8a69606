#pragma once
// The base of every program window but the backdrop, the intro window, the
// montage desk and the gallery picture viewer: borderless, kept above its owner,
// with the common keys (Esc closes, F1 opens the window's help page,
// other keys reach the main window), its tip page on activation, its skin, and
// the skinned modal loop.
#include <QPointer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "picture/Bitmap32.h"
#include "picture/SharedRowBitmap.h"

class QPainter;

// The skins a window names once: its own picture and its button sheet's, each an
// interface key and the default interface's file; an empty file names none.
struct TFormSkinNames {
  std::string FormKey, FormFile;
  std::string ButtonsKey, ButtonsFile;
};

// A window's skin, held with its equal rows shared; painting reads its rows. Checks
// that compare the whole picture take it as a TBitmap32, unpacked on first request.
class TWindowSkin : public TSharedRowBitmap {
 public:
  using TSharedRowBitmap::TSharedRowBitmap;
  operator const TBitmap32&() const;

 private:
  mutable TBitmap32 unpacked_;
};

class TSkinnedForm : public QWidget {
  Q_OBJECT
 public:
  // `name` is the window's Name (its objectName), which keys, tips and help use.
  // `owner` is the window that opens it, which the window manager keeps it above;
  // a window made without one (the message box, help, a window made for one call)
  // takes, on each show, the window it opens over.
  explicit TSkinnedForm(const QString& name, QWidget* owner = nullptr);
  ~TSkinnedForm() override;

  QWidget* Owner() const { return owner_; }
  void SetOwner(QWidget* owner) {
    owner_ = owner;
    ownerAtShow_ = false;
  }
  // The window this one is kept above now: its owner, or while that is hidden
  // the owner's owner, and so on down to the backdrop.
  QWidget* KeptAbove() const;
  // Whether `window` is kept above this one, directly or through others.
  bool KeepsAbove(const QWidget* window) const;
  void setVisible(bool visible) override;

  // The window this one is laid out from: the window at the bottom of its owner
  // chain, which the backdrop owns (the main window), reached from its owner or,
  // for a window made without one, from the window it opens over; null when
  // there is none.
  QWidget* LayoutFrame() const;
  // Moves the window to `offset` from LayoutFrame()'s top-left corner, kept whole
  // on that window's screen; without a frame it stays where it is.
  void PlaceFromFrame(QPoint offset);
  // The offset of the last PlaceFromFrame, if any.
  std::optional<QPoint> FrameOffset() const { return frameOffset_; }
  // Places the window at its FrameOffset() from `frameCorner` instead of where the
  // frame stands now (where the frame stood when the program started).
  void PlaceFromCorner(QPoint frameCorner);

  // The window's own handlers; the base runs its behaviour around them.
  std::function<void()> OnShow;
  std::function<void()> OnHide;
  std::function<void(bool& canClose)> OnCloseQuery;
  // After a close was allowed, before the window hides and its skins are freed.
  std::function<void()> OnClose;
  std::function<void()> OnActivate;
  std::function<void(int& key, int shift)> OnKeyDown;  // key 0 = consumed
  std::function<void(int& key, int shift)> OnKeyUp;
  std::function<void(char& key)> OnKeyPress;           // key 0 = consumed
  // Paints the window (LoadFormSkin installs the skin painter).
  std::function<void(QPainter&)> OnPaint;

  // 0 none, 1 OK, 2 cancel, as buttons set it; ends a skinned modal loop.
  int ModalResult = 0;
  // Set by the first ShowSkinnedModal and never cleared: later plain shows also
  // disable the other windows and keys no longer reach the main window.
  bool InSkinnedModal = false;
  // The next activation shows no tip (it is the start-up's showing of the main
  // window, which comes before the welcome tip may be replaced).
  bool NoTipOnNextActivation = false;
  // The windows this one disabled while shown modally (not owned).
  std::vector<QPointer<QWidget>> DisabledForms;
  // The skin picture; null when no skin is loaded.
  std::unique_ptr<TWindowSkin> SkinBitmap;
  // Loaded on every show before OnShow runs, freed once OnClose has run.
  TFormSkinNames Skins;

  void DisableOtherForms();
  void EnableDisabledForms();
  // The help and tip topic: the window's Name.
  virtual std::string Topic() const;
  // The page F1 opens: that of the control with the focus where it names one (its
  // "HelpTopic" property), else the window's Topic().
  std::string HelpTopic() const;
  // Before the window first shows, each named control without a hint takes the
  // text table's HintPrefix + its name + "Hint" when the table has that key.
  void TakeControlHints();
  // The hint keys' prefix where it is not the window's Topic() (some windows'
  // keys have none, one has a name of its own).
  std::optional<std::string> HintPrefix;
  std::string Name() const { return objectName().toStdString(); }

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  bool ForwardsKeysToMain() const;
  void AskForHelp();
  void KeepAboveOwner();
  void LoadSkins();
  void FreeSkins();
  void FitAutoSizeLabels();

  QPointer<QWidget> owner_;
  bool ownerAtShow_ = false;  // made without an owner: one is taken on each show
  QPointer<QWidget> keptAbove_;
  std::optional<QPoint> frameOffset_;
  bool f1Down_ = false;  // F1 pressed on the window, not taken by its shortcut
};

// The window a window made without an owner opens over: the innermost skinned
// modal window, else the active window; null when neither shows.
QWidget* OpeningWindow(const QWidget* except);

// Shows the window modally with its own loop (one event a turn, waiting when none)
// until it has a ModalResult or is hidden: its ModalResult, 0 when simply hidden,
// 2 when the application terminates. Help, tips and the message box stay usable.
int ShowSkinnedModal(TSkinnedForm& form);
// The innermost window running in ShowSkinnedModal and still shown, other than
// `except`; null when there is none.
TSkinnedForm* InnermostSkinnedModal(const QWidget* except = nullptr);

// The window's own skin (TSkinnedForm loads the skins a window names on each show
// and frees them on close): painted behind the controls, copied to its caption
// bar, cutting the window's shape at pure green, and sizing the window. An
// unloadable skin leaves the window as designed.
void LoadFormSkin(TSkinnedForm& form, std::string_view key, std::string_view defaultFile);
void FreeFormSkin(TSkinnedForm& form);
