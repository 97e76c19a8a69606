// The module "print": libcups, whose per-thread last status holds the answer to
// the job Qt's print engine submitted.
#include <cups/cups.h>

#include "platform/PrintSystem.h"

namespace {

class TCups final : public IPrintSystemModule {
 public:
  TPrintRefusal LastRefusal() override {
    const ipp_status_t status = cupsLastError();
    if (status < IPP_STATUS_ERROR_BAD_REQUEST) return {};
    const char* text = cupsLastErrorString();
    return {!SchedulerAnswers(), text && *text ? text : ippErrorString(status)};
  }

 private:
  // A scheduler that cannot be reached leaves only the socket's errno as the
  // last error: asking it again tells that case from a refusal.
  static bool SchedulerAnswers() {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http) return false;
    httpClose(http);
    return true;
  }
};

}  // namespace

extern "C" [[gnu::visibility("default")]] IPrintSystemModule* tressary_module_print() {
  static TCups cups;
  return &cups;
}
