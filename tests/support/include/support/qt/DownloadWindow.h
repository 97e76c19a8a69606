#pragma once
// Smoke demos: the element download window as a person goes through it.
#include <QTest>
#include <QTreeWidget>

#include "online/forms/FormDownloadElements.h"

// The first item of `kind` at or below `item`, or nullptr.
inline QTreeWidgetItem* FindDownloadNode(QTreeWidgetItem* item, int kind, const TFormDownloadElements& form) {
  if (const auto* node = form.NodeOf(item); node && node->Kind == kind) return item;
  for (int i = 0; i < item->childCount(); ++i)
    if (QTreeWidgetItem* found = FindDownloadNode(item->child(i), kind, form)) return found;
  return nullptr;
}

// The first publisher expanded and waited for until its index is analysed: its
// item, or nullptr when there is none or the analysis did not end in 20 s.
inline QTreeWidgetItem* OpenFirstPublisher(TFormDownloadElements& download) {
  QTreeWidgetItem* root = download.Root(0);
  if (!root) return nullptr;
  download.TreeView->expandItem(root);
  return QTest::qWaitFor([&] { return download.NodeOf(root)->State == "-2"; }, 20000) ? root : nullptr;
}
