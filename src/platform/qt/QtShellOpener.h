#pragma once
// The desktop's opener for web and mail addresses.
#include "platform/ShellOpen.h"

class TQtShellOpener : public IShellOpener {
 public:
  bool OpenUrl(const std::string& url) override;
};
