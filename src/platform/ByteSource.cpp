#include "platform/ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

std::unique_ptr<TByteSource> TByteSource::OpenFile(const fs::path& path) {
  // O_NONBLOCK: a FIFO in place of the file must not hang the open.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<TByteSource>(new TByteSource(fd, std::uint64_t(info.st_size)));
}

TByteSource::~TByteSource() {
  if (fd_ >= 0) close(fd_);
}

const std::uint8_t* TByteSource::Get(std::uint64_t at, std::size_t n, ByteBuffer& held) const {
  if (at > size_ || n > size_ - at) return nullptr;
  static constexpr std::uint8_t kNothing = 0;
  if (n == 0) return &kNothing;
  if (fd_ < 0) return memory_.data() + at;
  if (held.size() < n) held.resize(n);
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = pread(fd_, held.data() + done, n - done, off_t(at + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return nullptr;
    done += std::size_t(got);
  }
  return held.data();
}
