#pragma once
// A page viewer that understands framesets: a page declaring frames is shown as
// one page viewer per frame, laid out by the frameset's rows and columns (a
// frame whose page declares frames is divided by them in turn); a link aimed
// at a named frame loads there, "_top" and "_parent" replace the whole page,
// any other link loads in its own frame. A page without frames
// fills the viewer alone. Pages stay inside the base folder.
#include <QWidget>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "online/Frameset.h"

namespace fs = std::filesystem;

class THtmlViewer;

class TFrameViewer : public QWidget {
  Q_OBJECT
 public:
  explicit TFrameViewer(QWidget* parent = nullptr);

  void SetBaseFolder(const fs::path& folder) { base_ = folder; }
  // Shows `file`; what was shown goes into the history. False when it cannot
  // be read (nothing changes).
  bool LoadFile(const fs::path& file);
  // Empties the viewer and its history.
  void Clear();
  const fs::path& CurrentPage() const { return page_; }

  bool CanGoBack() const { return !history_.empty(); }
  void GoBack();

  // The frames shown (one for a page without frames), in page order.
  int FrameCount() const { return int(frames_.size()); }
  THtmlViewer* Frame(int index) const { return frames_.at(std::size_t(index)); }
  // The frame of that name, or null.
  THtmlViewer* Frame(const std::string& name) const;

  // A clicked link as written, handed over first; true: handled, the viewer
  // does nothing more. By default the program's handling of page links (the
  // web and mail open outside, other schemes do nothing).
  std::function<bool(const std::string& link)> OnHotSpotClick;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  struct TState {
    fs::path Page;
    std::vector<fs::path> Frames;  // the file of each frame
  };
  TState State() const;
  bool ShowPage(const fs::path& file);
  void LinkClicked(int frame, const std::string& link);
  void Place();

  fs::path base_;
  fs::path page_;
  std::optional<TFrameNode> frameset_;
  std::vector<std::string> names_;
  std::vector<THtmlViewer*> frames_;
  std::vector<TState> history_;
};
