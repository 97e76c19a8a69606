#pragma once
// Where a click lands on the link whose text is `text`: inside its first
// character, in viewport coordinates; nullopt when the page lacks the text.
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <optional>

inline std::optional<QPoint> LinkPoint(const QTextBrowser* viewer, const QString& text) {
  const QTextCursor found = viewer->document()->find(text);
  if (found.isNull()) return std::nullopt;
  QTextCursor inside(viewer->document());
  inside.setPosition(found.selectionStart() + 1);
  return viewer->cursorRect(inside).center();
}
