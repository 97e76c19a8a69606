#include "shell/forms/ApplyInterface.h"

#include <QAbstractScrollArea>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QScrollArea>
#include <QTextBrowser>
#include <QWidget>

#include "platform/Text.h"
#include "shell/InterfaceInfo.h"
#include "shell/forms/DrawPanel.h"
#include "shell/forms/ShellForms.h"
#include "shell/forms/SkinnedForm.h"
#include "shell/forms/SoundHint.h"

namespace {

bool IsWindow(const QObject& o) {
  auto* w = qobject_cast<const QWidget*>(&o);
  return w && w->isWindow();
}

// Caption bar, label, edit, date edit, list box, check-list box, combo box.
bool HasTextFont(const QObject& o) {
  return qobject_cast<const TCaptionBar*>(&o) || qobject_cast<const QLabel*>(&o) ||
         qobject_cast<const QLineEdit*>(&o) || qobject_cast<const QDateEdit*>(&o) ||
         qobject_cast<const QListView*>(&o) || qobject_cast<const QComboBox*>(&o);
}

// Window, panel, list box, check-list box, combo box, scroll box.
bool HasColor(const QObject& o) {
  return IsWindow(o) || qobject_cast<const TDrawPanel*>(&o) || qobject_cast<const QListView*>(&o) ||
         qobject_cast<const QComboBox*>(&o) || qobject_cast<const QScrollArea*>(&o);
}

void SetColorRole(QWidget& w, QPalette::ColorRole role, const QColor& color) {
  QPalette palette = w.palette();
  palette.setColor(role, color);
  w.setPalette(palette);
}

void SetFontName(QWidget& w, const std::string& name) {
  QFont font = w.font();
  font.setFamily(QString::fromStdString(name));
  w.setFont(font);
}

void SetFontSize(QWidget& w, int size) {
  if (size <= 0) return;
  QFont font = w.font();
  font.setPointSize(size);
  w.setFont(font);
}

void SetTextParam(QObject& control, const std::string& param, const std::string& value) {
  auto* w = qobject_cast<QWidget*>(&control);
  if (!w) return;
  if (param == "VISIBLE") {
    w->setVisible(EqualsNoCase(value, "TRUE"));
  } else if (param == "FONTNAME" && (HasTextFont(control) || qobject_cast<QTextBrowser*>(&control))) {
    SetFontName(*w, value);
  }
}

void SetIntegerParam(QObject& control, const std::string& param, int n) {
  if (param == "TAG") {
    control.setProperty("Tag", n);
    return;
  }
  if (auto* hint = qobject_cast<TSoundHint*>(&control)) {
    if (param == "HINTBGCOLOR") hint->HintBgColor = ColorFromBgr(n);
    if (param == "HINTTEXTCOLOR") hint->HintTextColor = ColorFromBgr(n);
    return;
  }
  auto* w = qobject_cast<QWidget*>(&control);
  if (!w) return;
  auto* form = IsWindow(*w) ? qobject_cast<TSkinnedForm*>(w) : nullptr;
  if (QWidget* frame = form ? form->LayoutFrame() : nullptr; frame && (param == "LEFT" || param == "TOP")) {
    // Window positions are offsets from the window it is laid out from.
    QPoint offset = form->FrameOffset().value_or(w->pos() - frame->pos());
    (param == "LEFT" ? offset.rx() : offset.ry()) = n;
    form->PlaceFromFrame(offset);
  } else if (param == "LEFT") {
    w->move(n, w->y());
  } else if (param == "TOP") {
    w->move(w->x(), n);
  } else if (param == "WIDTH") {
    w->resize(n, w->height());
  } else if (param == "HEIGHT") {
    w->resize(w->width(), n);
  } else if (param == "COLOR" && HasColor(control)) {
    auto* area = qobject_cast<QAbstractScrollArea*>(w);
    SetColorRole(area ? *area->viewport() : *w, area ? QPalette::Base : QPalette::Window, ColorFromBgr(n));
    if (area) SetColorRole(*w, QPalette::Base, ColorFromBgr(n));
  } else if ((param == "FONTCOLOR" || param == "FONTSIZE") &&
             (HasTextFont(control) || qobject_cast<QTextBrowser*>(&control))) {
    if (param == "FONTSIZE") SetFontSize(*w, n);
    else {
      SetColorRole(*w, QPalette::WindowText, ColorFromBgr(n));
      SetColorRole(*w, QPalette::Text, ColorFromBgr(n));
    }
  }
}

QObject* FindComponent(QWidget& form, const std::string& upperName) {
  const QString wanted = QString::fromStdString(upperName);
  for (QObject* o : form.findChildren<QObject*>())
    if (o->objectName().toUpper() == wanted) return o;
  return nullptr;
}

}  // namespace

QColor ColorFromBgr(int value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

void SetControlParam(QObject& control, const std::string& param, const std::string& value) {
  std::string upper = UpperAscii(param);
  if (auto* target = dynamic_cast<IInterfaceTarget*>(&control); target && target->SetInterfaceParam(upper, value))
    return;
  if (std::optional<int> n = ParseInt(value))
    SetIntegerParam(control, upper, *n);
  else
    SetTextParam(control, upper, value);
}

void ApplyInterfaceTo(QWidget& form, QObject& component) {
  const TMrvInterfaceInfo& info = InterfaceInUse().Info;
  if (!info.Initialized()) return;
  const std::string section = UpperAscii(form.objectName().toStdString());
  const std::string name = UpperAscii(component.objectName().toStdString());
  for (const TParamInfoRecord& r : info.Params())
    if (r.Section == section && !r.Object.empty() && r.Object == name) SetControlParam(component, r.Param, r.Value);
}

void ApplyInterface(QWidget* form) {
  const TMrvInterfaceInfo& info = InterfaceInUse().Info;
  if (!form || !info.Initialized()) return;
  const std::string section = UpperAscii(form->objectName().toStdString());
  for (const TParamInfoRecord& r : info.Params()) {
    if (r.Section != section) continue;
    if (r.Object.empty()) {
      SetControlParam(*form, r.Param, r.Value);
    } else if (QObject* component = FindComponent(*form, r.Object)) {
      SetControlParam(*component, r.Param, r.Value);
    }
  }
  for (QObject* o : form->findChildren<QObject*>())
    if (auto* target = dynamic_cast<IInterfaceTarget*>(o)) target->InterfaceApplied();
}
