#pragma once
// Controls the online windows make alike.
#include <QLabel>
#include <QRect>
#include <QString>
#include <QPoint>
#include <cstdint>
#include <functional>
#include <optional>

class QProgressBar;
class QTimer;
class QWidget;
class TCaptionBar;
class TGraphicButton;
class TMyImage;
class TSkinnedForm;

// The frame of an online window as designed: its size, its place from the main
// window's top left (none: left where it is), the caption bar's height and where
// the exit button stands on it.
struct TOnlineFrameDesign {
  int Width = 0;
  int Height = 0;
  std::optional<QPoint> FromMain;
  int ExitLeft = 0;
  int CaptionHeight = 20;
};
// Sizes and places `form`, then makes, in the order they stack, its button sheet
// "ImageButtons", its caption bar and on the bar the exit button "ButtonExit" in
// the main window's looks, which closes the window.
void BuildOnlineFrame(TSkinnedForm& form, const TOnlineFrameDesign& design, TMyImage*& imageButtons,
                      TCaptionBar*& captionBar, TGraphicButton*& buttonExit);

// A plain progress bar named `name` at `bounds`, without its percentage.
QProgressBar* NewProgressBar(QWidget* parent, const char* name, QRect bounds);

// A label named `name` at `bounds`, light text for the skins' dark wells.
QLabel* NewOnlineLabel(QWidget* parent, const char* name, QRect bounds);
// The light text of the skins' dark wells.
void UseWellTextColour(QWidget* widget);

// The progress timer "Timer1" of a transfer (stopped): every second `bar` moves
// on by 1 and starts again at 0 when it reaches 100, a pulse for transfers whose
// size is not known.
QTimer* NewProgressTimer(QWidget* parent, QProgressBar* bar);

// The progress label of a transfer: what comes in, ": ", the bytes received,
// " / " and the bytes expected.
QString ProgressText(const QString& name, std::int64_t received, std::int64_t total);

// A preview picture; a left double click calls OnDoubleClick.
class TPreviewLabel : public QLabel {
 public:
  explicit TPreviewLabel(QWidget* parent = nullptr) : QLabel(parent) {}
  std::function<void()> OnDoubleClick;

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};
