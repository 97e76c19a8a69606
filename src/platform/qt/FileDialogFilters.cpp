#include "platform/qt/FileDialogFilters.h"

namespace {
QStringList ToQt(const std::vector<std::string>& filters) {
  QStringList list;
  for (const std::string& filter : filters) list << QString::fromStdString(filter);
  return list;
}
}  // namespace

QStringList QtNameFilterList(const std::vector<TFileFilter>& filters) { return ToQt(QtNameFilters(filters)); }

QStringList QtNameFilterList(std::string_view windowsFilter) { return ToQt(QtNameFilters(windowsFilter)); }
