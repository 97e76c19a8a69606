#include "online/forms/OnlineMessages.h"

#include "shell/forms/FormMessage.h"
#include "shell/forms/TermText.h"

namespace {
// Process-wide as the message boxes it stands for (SetOnlineMessageSink).
std::function<void(const std::string&)>& Sink() {
  static std::function<void(const std::string&)> sink;
  return sink;
}
}  // namespace

void ShowOnlineMessage(const std::string& key) {
  if (Sink()) {
    Sink()(key);
    return;
  }
  ShowMessageBox(key, mbkOKCancel);
}

void ShowOnlineMessage(const std::string& key, const std::string& defaultText, const std::vector<std::string>& names) {
  if (Sink()) {
    Sink()(key);
    return;
  }
  QString text = TermText(key, defaultText);
  for (const std::string& name : names) text += "\n" + QString::fromStdString(name);
  ShowMessageBox(text.toStdString(), mbkOKCancel, true);
}

void SetOnlineMessageSink(std::function<void(const std::string& key)> sink) { Sink() = std::move(sink); }
