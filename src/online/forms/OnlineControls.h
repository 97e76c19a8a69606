#pragma once
// Controls the online windows make alike.
#include <QLabel>
#include <QRect>
#include <QString>
#include <cstdint>
#include <functional>

class QProgressBar;
class QTimer;
class QWidget;

// A label named `name` at `bounds`, light text for the skins' dark wells.
QLabel* NewOnlineLabel(QWidget* parent, const char* name, QRect bounds);
// The light text of the skins' dark wells.
void UseWellTextColour(QWidget* widget);

// The progress timer "Timer1" of a transfer (stopped): every second `bar` moves
// on by 1 and starts again at 0 when it reaches 100.
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
