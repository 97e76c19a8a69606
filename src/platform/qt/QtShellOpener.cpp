#include "platform/qt/QtShellOpener.h"

#include <QDesktopServices>
#include <QUrl>

bool TQtShellOpener::OpenUrl(const std::string& url) {
  const QUrl address(QString::fromStdString(url), QUrl::StrictMode);
  return address.isValid() && QDesktopServices::openUrl(address);
}
