#include "app/TarvelinFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/Exception.h"

namespace {

// Writes and closes Fd; the errno of the first failure, or 0.
int WriteAndClose(int Fd, std::span<const std::uint8_t> Bytes) {
  int error = 0;
  for (std::size_t done = 0; done < Bytes.size() && !error;) {
    const ssize_t n = write(Fd, Bytes.data() + done, Bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0)
      error = n < 0 ? errno : ENOSPC;
    else
      done += static_cast<std::size_t>(n);
  }
  if (close(Fd) != 0 && !error) error = errno;
  return error;
}

}  // namespace

void WriteNewFile(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes) {
  const int fd = open(Path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) throw EFCreateError(FormatMessage(SFCreateError, Path.string()) + ": " + std::strerror(errno));
  if (const int error = WriteAndClose(fd, Bytes)) throw EWriteError(Path.string() + ": " + std::strerror(error));
}

void WriteFileAtomically(const std::filesystem::path& Path, std::span<const std::uint8_t> Bytes) {
  std::string temporary = Path.string() + ".tmp-XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) throw EFCreateError(FormatMessage(SFCreateError, Path.string()) + ": " + std::strerror(errno));
  // mkstemp makes the file 0600; the result is as readable as any other file the user makes.
  const mode_t mask = umask(0);
  umask(mask);
  int error = fchmod(fd, 0666 & ~mask) != 0 ? errno : 0;
  if (const int written = WriteAndClose(fd, Bytes); !error) error = written;
  if (!error && std::rename(temporary.c_str(), Path.c_str()) != 0) error = errno;
  if (error) {
    unlink(temporary.c_str());
    throw EWriteError(Path.string() + ": " + std::strerror(error));
  }
}
