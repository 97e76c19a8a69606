#include "exchange/forms/ScannerSourceDialog.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "shell/Termins.h"
#include "shell/forms/TermText.h"

namespace {

QString DeviceText(const TScannerDevice& device) {
  QString text = QString::fromStdString(device.Vendor + " " + device.Model).trimmed();
  if (text.isEmpty()) text = QString::fromStdString(device.Name);
  if (!device.Type.empty()) text += " (" + QString::fromStdString(device.Type) + ")";
  return text;
}

}  // namespace

TScannerSourceDialog::TScannerSourceDialog(QWidget* parent) : QDialog(parent) {
  setObjectName("ScannerSourceDialog");
  setWindowTitle(TermText("ScannerSourceCaption", "Select Source"));
  ListSources = new QListWidget(this);
  ListSources->setObjectName("ListSources");
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  ButtonSelect = buttons->button(QDialogButtonBox::Ok);
  ButtonSelect->setText(TermText("ScannerSourceSelect", "Select"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(ListSources, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
  connect(ListSources, &QListWidget::currentRowChanged, this, [this](int row) { ButtonSelect->setEnabled(row >= 0); });
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(ListSources);
  layout->addWidget(buttons);
  resize(360, 220);
}

std::optional<std::string> TScannerSourceDialog::Choose(const std::vector<TScannerDevice>& devices) {
  ListSources->clear();
  for (const TScannerDevice& device : devices) {
    auto* item = new QListWidgetItem(DeviceText(device), ListSources);
    item->setData(Qt::UserRole, QString::fromStdString(device.Name));
  }
  if (devices.empty()) {
    // An empty list would look like a list still loading.
    auto* none = new QListWidgetItem(TermText("ScannerSourceNone", "No scanner was found."), ListSources);
    none->setFlags(Qt::NoItemFlags);
  }
  ListSources->setCurrentRow(devices.empty() ? -1 : 0);
  ButtonSelect->setEnabled(!devices.empty());
  if (exec() != QDialog::Accepted || devices.empty() || !ListSources->currentItem()) return std::nullopt;
  return ListSources->currentItem()->data(Qt::UserRole).toString().toStdString();
}
