#pragma once
// The viewer of the program's local HTML pages (tips, help, and any window that
// shows pages): a page from a file or from text, its pictures, a history to step
// back through, printing, and clicked links handed to the window first. Pages,
// their pictures and the links the viewer follows itself stay inside one folder.
#include <QTextBrowser>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "shell/HelpPages.h"
#include "shell/HtmlForm.h"

class QPrinter;

class THtmlViewer : public QTextBrowser, public IPageView {
  Q_OBJECT
 public:
  explicit THtmlViewer(QWidget* parent = nullptr);

  // The folder pages are read from; nothing outside it is shown or followed.
  void SetBaseFolder(const fs::path& folder);
  const fs::path& BaseFolder() const { return base_; }

  fs::path CurrentFile() const override { return current_; }
  // Shows the page in `file` (inside the base folder); the page shown before goes
  // into the history. False, and the page stays, when it cannot be read.
  bool LoadFile(const fs::path& file) override;
  // Shows a page made in memory; its pictures and links are relative to the base
  // folder. It is no file: CurrentFile() is empty until a file is loaded.
  void LoadFromString(const QString& html);

  // Shows a page made in memory whose radio buttons and check boxes the user can
  // click (see THtmlForm); they start as the page checks them.
  void LoadFormPage(const std::string& html);
  // The controls of the page shown (empty for pages without them).
  const THtmlForm& Form() const { return form_; }
  // Changes the controls and draws the page again at the place it is scrolled to.
  void ChangeForm(const std::function<void(THtmlForm&)>& change);

  bool CanGoBack() const { return !history_.empty(); }
  // The page shown before the current one, at the place it was scrolled to.
  void GoBack();

  // Prints the whole page on `printer`; false when the printer cannot print.
  bool PrintPages(QPrinter& printer);

  // A clicked link as written in the page. True: the window handled it. Else the
  // viewer follows a relative link or an anchor inside its folder and ignores the
  // rest.
  std::function<bool(const std::string& link)> OnHotSpotClick;
  // A radio button or check box of the page was clicked (after its change).
  std::function<void(std::size_t control)> OnObjectClick;

 protected:
  QVariant loadResource(int type, const QUrl& name) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void Clicked(const QString& href);
  bool ShowFile(const fs::path& file);
  // The folder relative links of the shown page start from.
  fs::path PageFolder() const;

  struct THistoryEntry {
    fs::path File;
    int Scroll = 0;
  };
  fs::path base_;
  fs::path current_;
  std::vector<THistoryEntry> history_;
  QString clickedHref_;
  THtmlForm form_;
};
