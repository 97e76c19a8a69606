#pragma once
// A print scheduler of the test's own: cupsd on a socket in a private folder,
// started without the system's scheduler, with one raw queue that writes its
// jobs to a file. While it lives, this process's print requests go to it.
// Window tests only: it needs a window's print dialog answered (TQueuePrintDialog).
#include <cups/cups.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "shell/forms/PrintChoice.h"
#include "support/TestPaths.h"
#include "support/qt/PdfPrintDialog.h"

class TPrivateCups {
 public:
  static constexpr const char* kQueue = "TressaryTest";

  TPrivateCups() {
    for (const char* folder : {"spool", "cache", "state", "tmp", "log"}) fs::create_directories(dir_ / folder);
    fs::permissions(dir_ / "tmp", fs::perms::all | fs::perms::sticky_bit);
    // cupsd's helpers run as "lp": they must reach the folders.
    fs::permissions(dir_.Path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    std::ofstream(dir_ / "cupsd.conf") << "Listen " << Socket() << "\nLogLevel warn\nBrowsing No\nWebInterface No\n"
                                       << "DefaultAuthType None\n<Location />\n  Order allow,deny\n  Allow all\n"
                                       << "</Location>\n<Location /admin>\n  Order allow,deny\n  Allow all\n"
                                       << "</Location>\n<Policy default>\n  <Limit All>\n    Order deny,allow\n"
                                       << "  </Limit>\n</Policy>\n";
    const std::string root = dir_.Path().string();
    std::ofstream(dir_ / "cups-files.conf") << "ServerRoot " << root << "\nRequestRoot " << root << "/spool\n"
                                            << "CacheDir " << root << "/cache\nStateDir " << root << "/state\n"
                                            << "TempDir " << root << "/tmp\nErrorLog " << root << "/log/error\n"
                                            << "AccessLog " << root << "/log/access\nPageLog " << root
                                            << "/log/page\nFileDevice Yes\nUser lp\nGroup lp\nSystemGroup root\n";
    if (access("/usr/sbin/cupsd", X_OK) != 0) {
      why_ = "cupsd is not installed";
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      // A test that dies (a crash, a time-out's kill) takes its scheduler along.
      prctl(PR_SET_PDEATHSIG, SIGTERM);
      execl("/usr/sbin/cupsd", "cupsd", "-f", "-c", (dir_ / "cupsd.conf").c_str(), "-s",
            (dir_ / "cups-files.conf").c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    setenv("CUPS_SERVER", Socket().c_str(), 1);
    cupsSetServer(Socket().c_str());
    for (int i = 0; i < 100 && !fs::exists(Socket()); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::string output;
    if (Admin("lpadmin -p " + std::string(kQueue) + " -E -v file://" + (dir_ / "jobs.out").string(), &output) != 0)
      why_ = "the private cupsd took no queue: " + output;
  }
  ~TPrivateCups() {
    Stop();
    unsetenv("CUPS_SERVER");
    cupsSetServer(nullptr);
  }
  TPrivateCups(const TPrivateCups&) = delete;
  TPrivateCups& operator=(const TPrivateCups&) = delete;

  // Empty when the scheduler runs with its queue; else why not.
  const std::string& Why() const { return why_; }
  void Reject() { Admin("cupsreject " + std::string(kQueue)); }
  void Accept() { Admin("cupsaccept " + std::string(kQueue)); }
  // Ends the scheduler, as when the print system is stopped.
  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  // The titles of the jobs the queue took, oldest first.
  std::vector<std::string> JobTitles() const {
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, kQueue, 0, CUPS_WHICHJOBS_ALL);
    std::vector<std::string> titles;
    for (int i = 0; i < count; ++i) titles.push_back(jobs[i].title ? jobs[i].title : "");
    cupsFreeJobs(count, jobs);
    return titles;
  }

 private:
  std::string Socket() const { return (dir_ / "socket").string(); }
  int Admin(const std::string& command, std::string* output = nullptr) {
    return RunCommand("CUPS_SERVER=" + Socket() + " " + command + " 2>&1", output);
  }

  TempFolder dir_;
  pid_t pid_ = -1;
  std::string why_;
};

// A window's print dialog as a user answers it in window tests: the private queue, always.
class TQueuePrintDialog {
 public:
  template <typename Window>
  explicit TQueuePrintDialog(Window& window)
      : answer_(window, [](QPrinter& printer) {
          printer.setPrinterName(TPrivateCups::kQueue);
          return true;
        }) {}

 private:
  TPrintDialogAnswer answer_;
};
