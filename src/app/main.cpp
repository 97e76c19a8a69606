// Tressary: try new looks on a portrait.
#include <QApplication>
#include <QLabel>

#include "platform/FileIO.h"

int main(int argc, char* argv[]) {
  // Shaped top-level windows need X11; under Wayland the program runs on XWayland.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "xcb");
  QApplication app(argc, argv);
  QApplication::setApplicationName("Tressary");

  QLabel window(QString("Tressary\n%1").arg(QString::fromStdString(ExecutableDir().string())));
  window.setAlignment(Qt::AlignCenter);
  window.resize(640, 480);
  window.show();
  return QApplication::exec();
}
