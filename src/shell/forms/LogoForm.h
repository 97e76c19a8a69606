#pragma once
// The intro video window: black, borderless, over the whole screen, playing one
// clip centred at its size; a click or a key stops it and skips the intro.
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

class IMediaPlayer;

class TLogoForm : public QWidget {
  Q_OBJECT
 public:
  explicit TLogoForm(QWidget* parent = nullptr);
  ~TLogoForm() override;

  IMediaPlayer& VideoBegin() { return *player_; }
  std::filesystem::path VideoFileName;
  int VideoWidth = 320;
  int VideoHeight = 240;

  // The rectangle the clip plays in.
  QRect VideoRect() const;
  // Stops the clip and tells OnSkip (the start-up, which passes over the rest
  // of the intro).
  void Skip();
  std::function<void()> OnSkip;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::unique_ptr<IMediaPlayer> player_;
  bool started_ = false;
};
