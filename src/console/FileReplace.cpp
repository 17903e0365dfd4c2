#include "FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

int TFileCalls::Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t TFileCalls::Write(int fd, const void* data, std::size_t size) {
  return ::write(fd, data, size);
}
int TFileCalls::Sync(int fd) { return ::fsync(fd); }
int TFileCalls::Close(int fd) { return ::close(fd); }
int TFileCalls::Rename(const char* from, const char* to) { return ::rename(from, to); }
int TFileCalls::Unlink(const char* path) { return ::unlink(path); }

namespace {

bool Fail(QString* error, const char* step, int code) {
  if (error) {
    *error = QStringLiteral("%1: %2.").arg(QLatin1String(step),
                                           QString::fromLocal8Bit(std::strerror(code)));
  }
  return false;
}

// A new file of our own beside the target; -1 with errno when none can be made.
int OpenNewBeside(const QByteArray& target, mode_t mode, QByteArray& temp, TFileCalls& calls) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp = target + ".new-" + QByteArray::number(::getpid()) + '-' + QByteArray::number(attempt);
    const int fd = calls.Open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Every byte, or the step that failed; errno tells why.
const char* WriteAll(int fd, const QByteArray& bytes, TFileCalls& calls) {
  const char* data = bytes.constData();
  auto left = static_cast<std::size_t>(bytes.size());
  while (left > 0) {
    const ssize_t n = calls.Write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = ENOSPC;  // no progress: the disk took nothing
      return "Cannot write the file";
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  // EINVAL: a file system that has nothing to flush.
  if (calls.Sync(fd) != 0 && errno != EINVAL) return "Cannot flush the file to disk";
  return nullptr;
}

}  // namespace

bool WriteFileReplacing(const QString& path, const QByteArray& bytes, QString* error,
                        TFileCalls& calls) {
  const QFileInfo info(path);
  const QByteArray target = QFile::encodeName(info.isSymLink() ? info.symLinkTarget() : path);
  struct stat old {};
  const bool exists = ::stat(target.constData(), &old) == 0;
  QByteArray temp;
  const int fd = OpenNewBeside(target, exists ? old.st_mode & 0777 : 0666, temp, calls);
  if (fd < 0) return Fail(error, "Cannot create a new file in its folder", errno);
  if (exists) (void)::fchmod(fd, old.st_mode & 07777);  // umask aside; best effort

  const char* failed = WriteAll(fd, bytes, calls);
  int code = errno;
  if (calls.Close(fd) != 0 && !failed) {
    failed = "Cannot close the file";
    code = errno;
  }
  if (!failed && calls.Rename(temp.constData(), target.constData()) != 0) {
    failed = "Cannot put the new file in place of the old one";
    code = errno;
  }
  if (!failed) return true;
  calls.Unlink(temp.constData());
  return Fail(error, failed, code);
}

bool WriteFileReplacing(const QString& path, const QByteArray& bytes, QString* error) {
  TFileCalls calls;
  return WriteFileReplacing(path, bytes, error, calls);
}
