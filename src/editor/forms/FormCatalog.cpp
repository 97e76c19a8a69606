#include "editor/forms/FormCatalog.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

#include "editor/CatalogIndex.h"
#include "editor/MainShell.h"
#include "picture/forms/BitmapImage.h"
#include "platform/Paths.h"
#include "platform/ProgramFolders.h"
#include "shell/ProgramCursors.h"
#include "shell/forms/ApplyInterface.h"
#include "shell/forms/CursorList.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/EventControls.h"
#include "shell/forms/FormHelp.h"
#include "shell/forms/FormMessage.h"
#include "shell/forms/GraphicButton.h"
#include "shell/forms/HtmlViewer.h"
#include "shell/forms/PageWindow.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/Skins.h"
#include "shell/forms/TermText.h"

TFormCatalog* FormCatalog = nullptr;

namespace {
constexpr int kWidth = 500;
constexpr int kHeight = 480;

constexpr TStripButton kStrip[] = {
    {"ButtonContents", "Contents"},
    {"ButtonStepBack", "Back"},
    {"ButtonPrint", "Print"},
};

TFormCatalog& CatalogWindow(const TMainSettings& settings) {
  if (!FormCatalog) new TFormCatalog(settings);
  return *FormCatalog;
}

// The main window's catalogue button: the contents page, or away when it is up.
void ToggleCatalog() {
  if (FormCatalog && FormCatalog->isVisible() && !FormCatalog->isMinimized())
    FormCatalog->close();
  else
    ShowCatalogPage(std::string(kCatalogIndexPage));
}
}  // namespace

TFormCatalog::TFormCatalog(const TMainSettings& settings, QWidget* parent)
    : TPageForm("FormCatalog", kWidth, kHeight, parent) {
  FormCatalog = this;
  setWindowTitle("Catalogue");
  const std::vector<TGraphicButton*> strip = BuildButtonStrip(kStrip);
  ButtonContents = strip[0];
  ButtonStepBack = strip[1];
  ButtonPrint = strip[2];
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - kWidth) / 2, area.y() + (area.height() - kHeight) / 2);
  }
  ButtonContents->OnClick = [this] { ShowPage(std::string(kCatalogIndexPage)); };
  ButtonStepBack->OnClick = [this] { HTMLViewer->GoBack(); };
  ButtonPrint->OnClick = [this] { ButtonPrintClick(); };

  ApplyInterface(this);
  TakeCaption("FormCatalogCaption", "Catalogue");
  HTMLViewer->SetBaseFolder(PageFolder(settings.CatalogDir));
  // Web and mail addresses, help pages and clips, as in the help pages.
  HTMLViewer->OnHotSpotClick = HandlePageLink;

  Skins = {"FormCatalog.Skin", "FormCatalog.psd", "FormCatalogButtons", "ButCatalog.psd"};
  OnShow = [this] {
    SetFrameButtonPressed(*this, "ButtonCatalog", true);
  };
  OnClose = [this] {
    SetFrameButtonPressed(*this, "ButtonCatalog", false);
  };
}

TFormCatalog::~TFormCatalog() {
  if (FormCatalog == this) FormCatalog = nullptr;
}

void TFormCatalog::ShowPage(const std::string& page) {
  ShowCatalogPageIn(*HTMLViewer, HTMLViewer->BaseFolder(), page);
  if (isHidden()) show();
  if (isMinimized()) showNormal();
  raise();
  activateWindow();
}

void TFormCatalog::ButtonPrintClick() {
  PrintShownPage("MessageCatalogNotPrinted", "The catalogue page could not be printed.");
}

void RegisterFormCatalog(const TMainSettings& settings, TCatalogIndex& index) {
  index.Load(ResolvePath(fs::path(InstallationFolder()), "Catalog.txt"));
  SetCatalogPresenter([&settings](const std::string& page) { CatalogWindow(settings).ShowPage(page); }, &index);
  RegisterCallWindow("FormCatalog", ToggleCatalog);
}

TBitmap32 CatalogInfoPicture() {
  TBitmap32 bitmap(13, 13, 0);
  QImage view = WritableImageView(bitmap);
  QPainter p(&view);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(QColor(30, 80, 170));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QRectF(0, 0, 13, 13));
  p.setPen(QPen(Qt::white, 2));
  p.drawLine(QPointF(6.5, 5.5), QPointF(6.5, 10));
  p.drawPoint(QPointF(6.5, 3));
  p.end();
  return bitmap;
}

TMyImage* AddCatalogIcon(QWidget& parent, const std::string& page) {
  auto* icon = new TMyImage(&parent);
  icon->setObjectName("CatalogInfo");
  icon->SetPicture(CatalogInfoPicture());
  icon->resize(13, 13);
  icon->move(parent.width() - 2 - icon->width(), parent.height() - 2 - icon->height());
  icon->setToolTip(TermText("FormTemplatesImageCatalogInfoHint", "Show catalog info"));
  icon->setCursor(ProgramCursor(crHandInfo));
  icon->OnClick = [page] { ShowCatalogPage(page); };
  icon->show();
  return icon;
}
