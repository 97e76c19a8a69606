#include "shell/forms/HtmlViewer.h"

#include <QMouseEvent>
#include <QPrinter>
#include <QScrollBar>
#include <QTextDocument>

#include "platform/FileIO.h"
#include "platform/Text.h"
#include "platform/TextFile.h"

namespace {

// Pages and their pictures are small; a larger file is a mistake, not a page.
constexpr std::uintmax_t kMaxPageBytes = std::uintmax_t(16) << 20;

// `file` relative to `folder` when it lies inside it.
std::optional<fs::path> RelativeInside(const fs::path& folder, const fs::path& file) {
  if (folder.empty()) return std::nullopt;
  fs::path base = folder.lexically_normal();
  if (!base.has_filename()) base = base.parent_path();
  const fs::path relative = file.lexically_normal().lexically_relative(base);
  if (relative.empty() || relative == "." || *relative.begin() == "..") return std::nullopt;
  return relative;
}

bool SameFile(const fs::path& a, const fs::path& b) { return EqualsNoCase(a.string(), b.string()); }

}  // namespace

THtmlViewer::THtmlViewer(QWidget* parent) : QTextBrowser(parent) {
  setObjectName("HTMLViewer");
  setOpenLinks(false);
  setOpenExternalLinks(false);
  setFrameShape(QFrame::NoFrame);
  QPalette paper = palette();
  paper.setColor(QPalette::Base, QColor(0xFB, 0xFA, 0xF6));
  paper.setColor(QPalette::Text, QColor(0x22, 0x26, 0x2E));
  setPalette(paper);
  connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
    const QString href = clickedHref_.isEmpty() ? url.toString() : clickedHref_;
    clickedHref_.clear();
    Clicked(href);
  });
}

void THtmlViewer::SetBaseFolder(const fs::path& folder) { base_ = folder; }

fs::path THtmlViewer::PageFolder() const { return current_.empty() ? base_ : current_.parent_path(); }

bool THtmlViewer::ShowFile(const fs::path& file) {
  if (!RelativeInside(base_, file)) return false;
  const auto bytes = ReadFileBytes(file, kMaxPageBytes);
  if (!bytes) return false;
  current_ = file;
  form_.Clear();
  document()->setBaseUrl(QUrl::fromLocalFile(QString::fromStdString(file.parent_path().string()) + "/"));
  setHtml(QString::fromStdString(DecodeText(*bytes)));
  return true;
}

bool THtmlViewer::LoadFile(const fs::path& file) {
  const fs::path previous = current_;
  const int scroll = verticalScrollBar()->value();
  if (!ShowFile(file)) return false;
  if (!previous.empty() && previous != file) history_.push_back({previous, scroll});
  return true;
}

void THtmlViewer::LoadFromString(const QString& html) {
  current_.clear();
  form_.Clear();
  document()->setBaseUrl(QUrl::fromLocalFile(QString::fromStdString(base_.string()) + "/"));
  setHtml(html);
}

void THtmlViewer::LoadFormPage(const std::string& html) {
  THtmlForm form;
  form.Load(html);
  LoadFromString(QString::fromStdString(form.Render()));
  form_ = std::move(form);
}

void THtmlViewer::ChangeForm(const std::function<void(THtmlForm&)>& change) {
  change(form_);
  const int scroll = verticalScrollBar()->value();
  setHtml(QString::fromStdString(form_.Render()));
  verticalScrollBar()->setValue(scroll);
}

void THtmlViewer::GoBack() {
  while (!history_.empty()) {
    const THistoryEntry entry = history_.back();
    history_.pop_back();
    if (!ShowFile(entry.File)) continue;  // gone since: the one before it
    verticalScrollBar()->setValue(entry.Scroll);
    return;
  }
}

bool THtmlViewer::PrintPages(QPrinter& printer) {
  if (!printer.isValid()) return false;
  document()->print(&printer);
  return printer.printerState() != QPrinter::Error;
}

QVariant THtmlViewer::loadResource(int type, const QUrl& name) {
  if (type != QTextDocument::ImageResource && type != QTextDocument::StyleSheetResource) return {};
  std::optional<fs::path> file;
  if (name.isLocalFile()) {
    if (auto relative = RelativeInside(base_, fs::path(name.toLocalFile().toStdString())))
      file = PageInFolder(base_, relative->string());
  } else if (name.isRelative()) {
    if (auto link = LocalLinkTarget(base_, PageFolder(), name.toString().toStdString()); link && !link->File.empty())
      file = link->File;
  }
  if (!file) return {};
  const auto bytes = ReadFileBytes(*file, kMaxPageBytes);
  if (!bytes) return {};
  QByteArray data(reinterpret_cast<const char*>(bytes->data()), qsizetype(bytes->size()));
  if (type == QTextDocument::StyleSheetResource) return QString::fromUtf8(data);
  return data;
}

void THtmlViewer::mouseReleaseEvent(QMouseEvent* event) {
  // The link as the page wrote it: a URL made of it would be re-encoded ("%20",
  // letter case of "help://" pages) before the window saw it.
  clickedHref_ = event->button() == Qt::LeftButton ? anchorAt(event->position().toPoint()) : QString();
  QTextBrowser::mouseReleaseEvent(event);
  clickedHref_.clear();
}

void THtmlViewer::Clicked(const QString& href) {
  const std::string link = href.toStdString();
  if (const std::optional<std::size_t> control = form_.ControlOfLink(link)) {
    bool changed = false;
    ChangeForm([&](THtmlForm& form) { changed = form.Click(*control); });
    if (changed && OnObjectClick) OnObjectClick(*control);
    return;
  }
  if (OnHotSpotClick && OnHotSpotClick(link)) return;
  if (RoutePageLink(link).Route != TLinkRoute::Viewer) return;
  const std::optional<TLocalLink> target = LocalLinkTarget(base_, PageFolder(), link);
  if (!target) return;
  if (!target->File.empty() && !SameFile(target->File, current_) && !LoadFile(target->File)) return;
  if (!target->Anchor.empty()) scrollToAnchor(QString::fromStdString(target->Anchor));
}
