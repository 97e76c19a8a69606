#include "shell/forms/CursorList.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <utility>

#include "platform/Paths.h"
#include "shell/ProgramCursors.h"

namespace {

// Larger pictures are refused before decoding: a cursor is a few dozen pixels.
constexpr int kMaxCursorSide = 256;

// The standard shapes by number, and the stand-ins for the program's own cursors
// whose pictures did not load.
constexpr std::array<std::pair<int, Qt::CursorShape>, 34> kShapes{{
    {crSizeAll, Qt::SizeAllCursor},
    {crPointingHand, Qt::PointingHandCursor},
    {crHelp, Qt::WhatsThisCursor},
    {crAppStart, Qt::BusyCursor},
    {crNo, Qt::ForbiddenCursor},
    {crVSplit, Qt::SplitVCursor},
    {crHSplit, Qt::SplitHCursor},
    {crNoDrop, Qt::ForbiddenCursor},
    {crDrag, Qt::DragMoveCursor},
    {crHourGlass, Qt::WaitCursor},
    {crUpArrow, Qt::UpArrowCursor},
    {crSizeWE, Qt::SizeHorCursor},
    {crSizeNWSE, Qt::SizeFDiagCursor},
    {crSizeNS, Qt::SizeVerCursor},
    {crSizeNESW, Qt::SizeBDiagCursor},
    {crIBeam, Qt::IBeamCursor},
    {crCross, Qt::CrossCursor},
    {crArrow, Qt::ArrowCursor},
    {crBrush, Qt::CrossCursor},
    {crEraser, Qt::CrossCursor},
    {crPipette, Qt::CrossCursor},
    {crModify, Qt::CrossCursor},
    {crEye, Qt::CrossCursor},
    {crEyeLines, Qt::SplitVCursor},
    {crHandFlat, Qt::OpenHandCursor},
    {crHandGrab, Qt::ClosedHandCursor},
    {crHandPoint, Qt::PointingHandCursor},
    {crHandFlatAll, Qt::OpenHandCursor},
    {crHandGrabAll, Qt::ClosedHandCursor},
    {crRotate, Qt::SizeAllCursor},
    {crLasso, Qt::CrossCursor},
    {crHandInfo, Qt::PointingHandCursor},
    {crHand3D, Qt::PointingHandCursor},
    {crHandVideo, Qt::PointingHandCursor},
}};

Qt::CursorShape StandardShape(int number) {
  for (const auto& [n, shape] : kShapes)
    if (n == number) return shape;
  return Qt::ArrowCursor;
}

}  // namespace

void TCursorList::Load(const std::string& exePath) {
  pictures_.clear();
  // The pictures go with the application, not after it.
  static const bool released = [] {
    qAddPostRoutine([] { ScreenCursors().pictures_.clear(); });
    return true;
  }();
  (void)released;
  for (const TProgramCursor& spec : kProgramCursors) {
    // Read as the PNG files they are: guessing the type from the content would
    // load every image format plugin while the program starts.
    QImageReader reader(QString::fromStdString(ResolvePath(exePath, ProgramCursorFile(spec)).string()), "png");
    reader.setAutoDetectImageFormat(false);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > kMaxCursorSide || size.height() > kMaxCursorSide) continue;
    const QImage picture = reader.read();
    if (picture.isNull() || !picture.rect().contains(spec.HotX, spec.HotY)) continue;
    pictures_.insert_or_assign(spec.Number, QCursor(QPixmap::fromImage(picture), spec.HotX, spec.HotY));
  }
}

QCursor TCursorList::Cursor(int number) const {
  auto it = pictures_.find(number);
  return it != pictures_.end() ? it->second : QCursor(StandardShape(number));
}

TCursorList& ScreenCursors() {
  // Every window's cursors, loaded with the main window's interface.
  static TCursorList list;
  return list;
}

QCursor ProgramCursor(int number) { return ScreenCursors().Cursor(number); }

void SetProgramCursor(QWidget& widget, int number) {
  if (number == crDefault)
    widget.unsetCursor();
  else
    widget.setCursor(ProgramCursor(number));
}
