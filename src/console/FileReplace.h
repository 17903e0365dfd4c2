#pragma once

#include <sys/types.h>

#include <QByteArray>
#include <QString>
#include <cstddef>

// The system calls a file replacement makes. Each returns what its POSIX namesake
// returns and leaves errno set when it fails; tests make any of them fail.
class TFileCalls {
 public:
  virtual ~TFileCalls() = default;
  virtual int Open(const char* path, int flags, mode_t mode);
  virtual ssize_t Write(int fd, const void* data, std::size_t size);
  virtual int Sync(int fd);
  virtual int Close(int fd);
  virtual int Rename(const char* from, const char* to);
  virtual int Unlink(const char* path);
};

// Writes the bytes to a new file beside `path` and renames it over `path` only
// when every write, the flush to disk and the close have succeeded. On any
// failure the new file is removed, `path` keeps what it held, and `error` names
// the step that failed and why. A symbolic link is followed: its target is
// replaced. The permissions of a file that is replaced are kept.
bool WriteFileReplacing(const QString& path, const QByteArray& bytes, QString* error);
bool WriteFileReplacing(const QString& path, const QByteArray& bytes, QString* error,
                        TFileCalls& calls);
