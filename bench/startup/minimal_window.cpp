// The reference of the start-up benchmark: the least a Qt Widgets program does to
// show a window of the main window's size, ended the same way as the program.
#include <QApplication>
#include <QWidget>

#include "editor/MainDesign.h"
#include "platform/qt/FirstExpose.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(kMainWidth, kMainHeight);
  window.show();
  ExitOnFirstShowWhenAsked(window);
  return QApplication::exec();
}
