#include "online/forms/FrameViewer.h"

#include "online/PublisherMessages.h"
#include "platform/Text.h"
#include "shell/HelpPages.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/HtmlViewer.h"

namespace {

bool Inside(const fs::path& folder, const fs::path& file) {
  if (folder.empty()) return false;
  const fs::path relative = file.lexically_normal().lexically_relative(folder.lexically_normal());
  return !relative.empty() && relative != "." && *relative.begin() != "..";
}

bool SameFile(const fs::path& a, const fs::path& b) { return EqualsNoCase(a.string(), b.string()); }

}  // namespace

TFrameViewer::TFrameViewer(QWidget* parent) : QWidget(parent) {
  setObjectName("HTMLViewer");
  setAutoFillBackground(true);
  QPalette edges = palette();
  edges.setColor(QPalette::Window, QColor(0x9A, 0xA0, 0xAC));
  setPalette(edges);
}

THtmlViewer* TFrameViewer::Frame(const std::string& name) const {
  for (std::size_t i = 0; i < frames_.size(); ++i)
    if (!name.empty() && EqualsNoCase(names_[i], name)) return frames_[i];
  return nullptr;
}

TFrameViewer::TState TFrameViewer::State() const {
  TState state{page_, {}};
  for (const THtmlViewer* frame : frames_) state.Frames.push_back(frame->CurrentFile());
  return state;
}

bool TFrameViewer::LoadFile(const fs::path& file) {
  TState before = State();
  if (!ShowPage(file)) return false;
  if (!before.Page.empty()) history_.push_back(std::move(before));
  return true;
}

void TFrameViewer::Clear() {
  // A link clicked in a frame may replace the page: the frame goes once its
  // click has returned.
  for (THtmlViewer* frame : frames_) {
    frame->hide();
    frame->deleteLater();
  }
  frames_.clear();
  names_.clear();
  frameset_.reset();
  page_.clear();
  history_.clear();
}

bool TFrameViewer::ShowPage(const fs::path& file) {
  if (!Inside(base_, file)) return false;
  const std::optional<std::string> html = ReadMessagePage(file);
  if (!html) return false;
  auto history = std::move(history_);
  Clear();
  history_ = std::move(history);
  page_ = file;
  frameset_ = MessageFrameset(*html, base_, file.parent_path());
  auto addFrame = [this](const std::string& name) {
    auto* frame = new THtmlViewer(this);
    frame->setObjectName(QString::fromStdString("HTMLViewer" + std::to_string(frames_.size() + 1)));
    frame->SetBaseFolder(base_);
    const int index = int(frames_.size());
    frame->OnHotSpotClick = [this, index](const std::string& link) {
      LinkClicked(index, link);
      return true;
    };
    frames_.push_back(frame);
    names_.push_back(name);
    return frame;
  };
  if (!frameset_) {
    addFrame("")->LoadFile(file);
  } else {
    for (const TFrameRect& rect : LayOutFrames(*frameset_, width(), height())) {
      THtmlViewer* frame = addFrame(rect.Name);
      if (!rect.Src.empty()) frame->LoadFile(rect.Src);
    }
  }
  Place();
  for (THtmlViewer* frame : frames_) frame->show();
  return true;
}

void TFrameViewer::Place() {
  if (!frameset_) {
    if (!frames_.empty()) frames_.front()->setGeometry(rect());
    return;
  }
  const std::vector<TFrameRect> rects = LayOutFrames(*frameset_, width(), height());
  for (std::size_t i = 0; i < frames_.size() && i < rects.size(); ++i) {
    const TFrameRect& r = rects[i];
    // A line of the background between neighbouring frames.
    const int right = r.X + r.Width < width() ? 1 : 0, bottom = r.Y + r.Height < height() ? 1 : 0;
    frames_[i]->setGeometry(r.X, r.Y, std::max(0, r.Width - right), std::max(0, r.Height - bottom));
  }
}

void TFrameViewer::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Place();
}

void TFrameViewer::LinkClicked(int index, const std::string& link) {
  if (OnHotSpotClick ? OnHotSpotClick(link) : HandlePageLink(link)) return;
  THtmlViewer* from = frames_.at(std::size_t(index));
  const fs::path fromFile = from->CurrentFile();
  const std::optional<TLocalLink> target =
      LocalLinkTarget(base_, fromFile.empty() ? base_ : fromFile.parent_path(), link);
  if (!target) return;
  if (target->File.empty()) {
    from->scrollToAnchor(QString::fromStdString(target->Anchor));
    return;
  }
  std::string aim;
  if (!fromFile.empty())
    if (const auto html = ReadMessagePage(fromFile)) aim = LinkTarget(*html, link);
  if (frameset_ && (EqualsNoCase(aim, "_top") || EqualsNoCase(aim, "_parent"))) {
    LoadFile(target->File);
    return;
  }
  // Named frames take their links; "_self", "_blank" and names not in the page
  // load where the link was clicked.
  THtmlViewer* into = Frame(aim);
  if (!into) into = from;
  TState before = State();
  if (!SameFile(into->CurrentFile(), target->File) && !into->LoadFile(target->File)) return;
  history_.push_back(std::move(before));
  if (!target->Anchor.empty()) into->scrollToAnchor(QString::fromStdString(target->Anchor));
}

void TFrameViewer::GoBack() {
  if (history_.empty()) return;
  const TState state = std::move(history_.back());
  history_.pop_back();
  if (!SameFile(state.Page, page_) && !ShowPage(state.Page)) return;
  for (std::size_t i = 0; i < frames_.size() && i < state.Frames.size(); ++i)
    if (!state.Frames[i].empty() && !SameFile(state.Frames[i], frames_[i]->CurrentFile()))
      frames_[i]->LoadFile(state.Frames[i]);
}
