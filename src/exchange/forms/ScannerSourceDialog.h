#pragma once
// Choosing the scanner to scan with: a small dialog listing the devices.
#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "platform/Scanner.h"

class QListWidget;
class QPushButton;

class TScannerSourceDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TScannerSourceDialog(QWidget* parent = nullptr);

  QListWidget* ListSources;
  QPushButton* ButtonSelect;

  // Fills the list (the first device chosen) and runs the dialog; the chosen
  // device's name, or nullopt when cancelled or there is nothing to choose.
  std::optional<std::string> Choose(const std::vector<TScannerDevice>& devices);
};
