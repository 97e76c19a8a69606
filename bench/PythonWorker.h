#pragma once
// A Python process kept for a benchmark's reference: each request is one line to
// its standard input, each answer one line from its standard output, so that a
// library reached only from Python is timed by its own clock, decode to decode,
// without the start of the interpreter.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

extern char** environ;

class PythonWorker {
 public:
  explicit PythonWorker(const std::string& script) {
    int in[2], out[2];
    if (pipe(in) != 0) return;
    if (pipe(out) != 0) {
      close(in[0]);
      close(in[1]);
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, in[1]);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const char* argv[] = {"/usr/bin/python3", "-c", script.c_str(), nullptr};
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    to_ = fdopen(in[1], "w");
    from_ = fdopen(out[0], "r");
  }
  ~PythonWorker() {
    if (to_) std::fclose(to_);
    if (from_) std::fclose(from_);
    if (pid_ > 0) waitpid(pid_, nullptr, 0);
  }
  PythonWorker(const PythonWorker&) = delete;
  PythonWorker& operator=(const PythonWorker&) = delete;

  // Sends one request line and gives the answer line; empty when the worker is gone.
  std::string Ask(const std::string& request) {
    if (pid_ <= 0 || !to_ || !from_) return {};
    std::fputs((request + "\n").c_str(), to_);
    std::fflush(to_);
    std::string answer;
    for (int c; (c = std::fgetc(from_)) != EOF && c != '\n';) answer += char(c);
    return answer;
  }

 private:
  pid_t pid_ = -1;
  std::FILE* to_ = nullptr;
  std::FILE* from_ = nullptr;
};
