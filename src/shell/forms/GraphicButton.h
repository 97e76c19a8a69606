#pragma once
// Picture buttons: a button shows one frame of a window's button sheet, switches
// frames with the mouse, blends the frame over what lies beneath it and reacts only
// where the frame is opaque enough. The pixel work lives in shell/SkinPixels.h.
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <string_view>
#include <vector>

#include "picture/Bitmap32.h"
#include "shell/Fading.h"
#include "shell/SkinPixels.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/Image.h"

class QPainter;
class TGraphicButton;

// Which frames of which sheet a button shows. Setters notify (OnChange) only when
// the value changes.
class TGraphicResource {
 public:
  explicit TGraphicResource(TGraphicButton* owner);
  ~TGraphicResource();
  TGraphicResource(const TGraphicResource&) = delete;
  TGraphicResource& operator=(const TGraphicResource&) = delete;

  // Frames shown by mouse state; -1 = no automatic switch.
  int AutoNormal = 0;
  int AutoPressed = 1;
  int AutoEnter = -1;
  int AutoLeave = -1;

  int Rows() const { return grid_.Rows; }
  int Cols() const { return grid_.Cols; }
  int Left() const { return grid_.Left; }
  int Top() const { return grid_.Top; }
  int Width() const { return grid_.Width; }
  int Height() const { return grid_.Height; }
  int Index() const { return index_; }
  std::uint32_t Color() const { return color_; }
  TImage* Image() const { return image_; }
  const TFrameGrid& Grid() const { return grid_; }

  void SetRows(int value);
  void SetCols(int value);
  void SetLeft(int value);
  void SetTop(int value);
  void SetWidth(int value);
  void SetHeight(int value);
  // A negative index is no frame: it is ignored, so no state ever points the button
  // outside its grid.
  void SetIndex(int value);
  void SetColor(std::uint32_t value);
  void SetImage(TImage* image);

  // The sheet whole, or null without an image or with an empty picture (a sheet
  // held in parts is unpacked for it: drawing reads the parts).
  const TBitmap32* Sheet() const;
  bool HasSheet() const { return image_ && image_->HasPicture(); }
  TGraphicButton* Owner() const { return owner_; }

  // The designed windows' frames: one row of three, normal 0, hover 1, pressed 2,
  // back to normal when the cursor leaves.
  void SetDesignedStates();

  // Takes over another resource's settings through the setters.
  virtual void Assign(const TGraphicResource& other);

  std::function<void()> OnChange;

 private:
  void Changed();

  TGraphicButton* owner_;
  TFrameGrid grid_;
  int index_ = 0;
  std::uint32_t color_ = clNone;
  QPointer<TImage> image_;
};

// Keeps every living resource; when the picture of an image changes, every resource
// showing that image fires OnChange, so all buttons of a sheet repaint on reload.
class TGraphicNotificator {
 public:
  void Add(TGraphicResource* resource);
  void Remove(TGraphicResource* resource);
  void Watch(TImage* image);
  void PictureChanged(const TImage* image);
  std::size_t Count() const { return resources_.size(); }

 private:
  std::vector<TGraphicResource*> resources_;
  std::vector<QPointer<TImage>> watched_;
};
TGraphicNotificator& GraphicNotificator();

class TGraphicButton : public QWidget, public IInterfaceTarget {
  Q_OBJECT

 public:
  explicit TGraphicButton(QWidget* parent = nullptr);
  ~TGraphicButton() override;

  TGraphicResource& Resource() { return resource_; }
  const TGraphicResource& Resource() const { return resource_; }

  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  bool Pressed() const { return pressed_; }
  void SetPressed(bool pressed);
  int Transparency() const { return transparency_; }
  // 0 to 100; anything else raises ETransparencyOutOfRange.
  void SetTransparency(int value);
  int ActiveAlpha() const { return activeAlpha_; }
  void SetActiveAlpha(int value);  // clamped to 0..255
  // The face without a sheet, in the class library's encoding 0x00BBGGRR.
  std::uint32_t Color() const { return color_; }
  void SetColor(std::uint32_t color);
  int Tag() const;
  void SetTag(int tag);

  QPointer<TGraphicButton> Link;  // a paired button; not owned
  int TimerMouseDown = 0;         // x 4 ms; a one-shot timer started by a press
  TFadingEffect FadingEffect;
  TStateEffects StateEffects{};

  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseLeave;
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnMouseDown;
  std::function<void(Qt::KeyboardModifiers, int x, int y)> OnMouseMove;
  std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)> OnMouseUp;
  // Called on every paint with a painter on the button's buffer.
  std::function<void(TGraphicButton*, QPainter&)> OnPaint;

  // Whether the control pixel (x, y) takes the mouse: inside the control, on the
  // sheet, alpha of the frame drawn there >= ActiveAlpha.
  bool HitTest(int x, int y) const;
  // The current frame's rectangle in the sheet.
  TRect FrameInSheet() const;

  // Takes over another button's settings and event handlers, except ActiveAlpha,
  // FadingEffect and StateEffects (windows clone prototype buttons with it).
  virtual void CopyFrom(const TGraphicButton& other);
  // Starts the effect set for the current frame (call when set up).
  void Loaded();

  // The composed face as last rendered (rendering first when it is out of date).
  const TBitmap32& Buffer();
  // Marks the face out of date and schedules a repaint.
  void Invalidate();
  // Replaces the background snapshot (a slider hands its thumb what lies under it).
  void SetBackground(TBitmap32 background);
  // Forgets the background snapshot: it is taken again at the next paint.
  void DropBackground();
  bool FadeRunning() const { return fade_.Active(); }

  // The interface file's RESLEFT, RESTOP, RESWIDTH, RESHEIGHT and ACTIVEALPHA.
  bool SetInterfaceParam(const std::string& param, const std::string& value) override;
  // A button's frame is its own size once the window is laid out.
  void InterfaceApplied() override;

 protected:
  // Composes the buffer from the background, the frame and the caption.
  virtual void RenderBuffer();
  // The frame of the current index at the control's size (recoloured, no caption).
  TBitmap32 MakeFrame(int width, int height, bool recolor) const;
  void DrawCaption(TBitmap32& frame) const;
  // What lies beneath the control: its parent and the earlier siblings over it.
  TBitmap32 SnapshotBackground();
  bool SheetUsable() const { return resource_.HasSheet(); }
  TBitmap32& BackgroundBitmap() { return background_; }
  TBitmap32& BufferBitmap() { return buffer_; }

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  friend class TGraphicResource;
  void ResourceChanged();
  void IndexChanging();
  void IndexChanged(int index);
  void StartFade();
  void OnTimer();
  bool StatesActive() const { return isEnabled() && !pressed_; }
  void ShowFrame(int index) { resource_.SetIndex(index); }

  TGraphicResource resource_;
  QString caption_;
  bool pressed_ = false;
  int transparency_ = 1;
  int savedTransparency_ = 1;
  int activeAlpha_ = 0;
  std::uint32_t color_ = 0x00C0C0C0;
  QTimer timer_;
  TFadeSequence fade_;
  bool inTick_ = false;
  bool mouseDown_ = false;
  bool doubleClicked_ = false;
  QPoint lastMouse_{-1, -1};
  bool needsRender_ = true;
  TBitmap32 background_;
  TBitmap32 buffer_;
};

// A button of a window's designed sheet (the row of three frames at `sheetTop`,
// normal, hover and pressed), named `name`, at `bounds` in `parent`.
TGraphicButton* NewSheetButton(QWidget* parent, const QString& name, TImage* sheet, int sheetTop, const QRect& bounds);

// A window's "ButtonExit" from its sheet, in the looks of the main window's exit
// button when there is one (the click is the window's own).
TGraphicButton* NewExitButton(QWidget* parent, TImage* sheet, int sheetTop, const QRect& bounds);

// `button` takes the looks of the button of the same name on the window its own
// window is laid out from, the main window (the main
// window's minimise and exit buttons lend theirs to every window), keeping its
// place and size; false when the main window has no such button.
bool TakeMainWindowLooks(TGraphicButton& button);

// Gives the button `button` of the program window `window` its pressed (or
// released) look; nothing when either does not exist.
void SetWindowButtonPressed(std::string_view window, std::string_view button, bool pressed);
class TSkinnedForm;
// The same for the button `button` of the window `form` is laid out from: the
// main window's button that opens `form`.
void SetFrameButtonPressed(const TSkinnedForm& form, std::string_view button, bool pressed);
