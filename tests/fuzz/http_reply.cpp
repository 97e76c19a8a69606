// Replies come from servers on the network: whatever bytes a server answers
// with, a transfer must end (success only with a 2xx status), never hang or
// crash, and a saved reply must be the body the transfer reports.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>

#include "FuzzFile.h"
#include "online/TransferContext.h"
#include "platform/FileIO.h"

namespace {
// One listening socket on loopback; every connection gets the current input as
// its whole reply once the request's head has arrived, then is closed.
class RawReplyServer {
 public:
  RawReplyServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 || listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
      std::abort();
    port_ = ntohs(address.sin_port);
    std::thread([this] { Serve(); }).detach();
  }
  int Port() const { return port_; }
  void SetReply(std::string reply) {
    std::lock_guard lock(mutex_);
    reply_ = std::move(reply);
  }

 private:
  void Serve() {
    while (true) {
      const int client = accept(listener_, nullptr, nullptr);
      if (client < 0) continue;
      std::string head;
      char buffer[4096];
      while (head.find("\r\n\r\n") == std::string::npos) {
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0) break;
        head.append(buffer, std::size_t(n));
      }
      std::string reply;
      {
        std::lock_guard lock(mutex_);
        reply = reply_;
      }
      for (std::size_t sent = 0; sent < reply.size();) {
        const ssize_t n = send(client, reply.data() + sent, reply.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) break;
        sent += std::size_t(n);
      }
      shutdown(client, SHUT_WR);
      while (recv(client, buffer, sizeof buffer, 0) > 0) {
      }
      close(client);
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::mutex mutex_;
  std::string reply_;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static RawReplyServer server;
  if (size < 1) return 0;
  // The first byte picks the use and whether the reply is data or saved.
  const std::uint8_t how = data[0];
  server.SetReply(std::string(reinterpret_cast<const char*>(data + 1), size - 1));
  static const auto saved = FuzzInputFile(nullptr, 0, "reply.bin");
  std::filesystem::remove(saved);

  TTaskQueue owner;
  TTransferContext context(static_cast<ETransferUse>(how % 4), owner);
  context.SetTimeouts(1, 1);
  context.SetDeadline(std::chrono::milliseconds(1500));
  TTransferRequest request;
  request.url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/reply";
  request.body = "upload";
  request.binary = (how & 4) != 0;
  if (how & 8) request.fileName = saved;
  request.mode = (how >> 4) & 1;
  std::string reply;
  const bool ok = context.Run(request, {}, &reply);
  if (ok && !request.fileName.empty() && !reply.empty()) {
    const auto bytes = ReadFileBytes(saved);
    if (!bytes || std::string(bytes->begin(), bytes->end()) != reply) std::abort();
  }
  return 0;
}
