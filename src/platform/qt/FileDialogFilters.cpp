#include "platform/qt/FileDialogFilters.h"

#include <QFileDialog>
#include <QVariant>

namespace {
QStringList ToQt(const std::vector<std::string>& filters) {
  QStringList list;
  for (const std::string& filter : filters) list << QString::fromStdString(filter);
  return list;
}
}  // namespace

QStringList QtNameFilterList(const std::vector<TFileFilter>& filters) { return ToQt(QtNameFilters(filters)); }

QStringList QtNameFilterList(std::string_view windowsFilter) { return ToQt(QtNameFilters(windowsFilter)); }

void FollowFilterSuffix(QFileDialog& dialog) {
  auto follow = [&dialog](const QString& filter) {
    dialog.setDefaultSuffix(QString::fromStdString(FilterDefaultSuffix(filter.toStdString())));
  };
  follow(dialog.selectedNameFilter());
  // A dialog run again with new filters is connected once.
  if (dialog.property("followsFilterSuffix").toBool()) return;
  dialog.setProperty("followsFilterSuffix", true);
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, follow);
}
