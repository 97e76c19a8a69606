#pragma once
// The print system behind the system's printers (CUPS): the module "print" (see
// platform/Module.h), loaded when a job has gone to a printer. Qt hands the
// finished job to the print system and drops its answer; this reads it back.
#include <string>

// Why the print system did not take a job.
struct TPrintRefusal {
  bool Unreachable = false;  // the scheduler does not answer (stopped, or not there)
  std::string Text;          // the print system's own words; empty when it took the job
};

class IPrintSystemModule {
 public:
  // Why the print system refused the last request made on the calling thread.
  virtual TPrintRefusal LastRefusal() = 0;

 protected:
  ~IPrintSystemModule() = default;
};

extern "C" [[gnu::weak]] IPrintSystemModule* tressary_module_print();

// Why the print system refused the job just handed to it on this thread (an
// empty text when it took it). When the module cannot be loaded nothing is
// known, and the job counts as taken.
TPrintRefusal PrintSystemRefusal();
