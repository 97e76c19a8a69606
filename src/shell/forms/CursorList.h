#pragma once
// The screen's cursor list: every window takes its cursors by number from here,
// the program's own pictures and the standard shapes alike.
#include <QCursor>
#include <map>
#include <string>

#include "shell/ProgramCursors.h"  // the numbers

class QWidget;

class TCursorList {
 public:
  // Loads the program's own cursor pictures from `exePath` + "Cursors\". A
  // picture that is missing, unreadable, too large or without its hot spot
  // leaves that cursor on its standard stand-in. Loading again starts afresh.
  void Load(const std::string& exePath);
  // The cursor of `number`: its picture when loaded, else the nearest standard
  // shape; the arrow for the default and for numbers the program does not know.
  QCursor Cursor(int number) const;
  // How many of the program's cursors have their pictures.
  int PictureCount() const { return int(pictures_.size()); }

 private:
  std::map<int, QCursor> pictures_;
};

// The program-wide list, loaded when the main window is created.
TCursorList& ScreenCursors();
// The list's cursor of `number`.
QCursor ProgramCursor(int number);
// Gives `widget` the cursor of `number`; the default (0) hands the widget back
// to its parent's cursor.
void SetProgramCursor(QWidget& widget, int number);
