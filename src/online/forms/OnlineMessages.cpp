#include "online/forms/OnlineMessages.h"

#include "shell/forms/FormMessage.h"

namespace {
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

void SetOnlineMessageSink(std::function<void(const std::string& key)> sink) { Sink() = std::move(sink); }
