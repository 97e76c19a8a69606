// The module "print": libcups, whose per-thread last status holds the answer to
// the job Qt's print engine submitted.
#include <cups/cups.h>

#include <string>
#include <utility>

#include "platform/PrintSystem.h"

namespace {

class TCups final : public IPrintSystemModule {
 public:
  TPrintRefusal LastRefusal() override {
    const ipp_status_t status = cupsLastError();
    if (status < IPP_STATUS_ERROR_BAD_REQUEST) return {};
    // Copied before the scheduler is asked: asking sets a new last error, which
    // frees this one.
    const char* last = cupsLastErrorString();
    std::string text = last && *last ? last : ippErrorString(status);
    return {!SchedulerAnswers(), std::move(text)};
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
  // The module's one instance, alive as long as the module stays loaded.
  static TCups cups;
  return &cups;
}
