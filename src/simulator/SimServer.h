#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "SimDevice.h"

// Serves the simulated device over TCP and/or a pseudo-terminal, each on its
// own background thread and one client at a time, as a device does. While
// another client waits, a client that has not completed a frame for 2 s (four
// times the 500 ms a device allows between the bytes of a frame) gives way to
// it, so that neither a forgotten connection nor one that drips bytes can
// lock the device, and a host's retry is served within its connection window.
class TSimServer {
 public:
  static constexpr std::uint16_t kDefaultPort = 4999;

  TSimServer();   // owns a fresh device model with default state
  ~TSimServer();  // stops
  TSimServer(const TSimServer&) = delete;
  TSimServer& operator=(const TSimServer&) = delete;

  // 0 = a free port. False (see LastError) when the address cannot be bound.
  bool StartTcp(const std::string& host = "127.0.0.1", std::uint16_t port = 0);
  std::uint16_t Port() const;
  // Opens a pty and returns the path of its slave side ("" on failure); with a
  // `linkPath` a symlink to it is put there (and removed by Stop).
  std::string StartPty(const std::string& linkPath = "");
  void Stop();  // closes everything, joins the threads
  TSimDevice& Device() { return Device_; }
  // Before starting: after how long a half-received frame is dropped, after
  // how long without a completed frame a client gives way to a waiting one,
  // and after how long a client that reads nothing of an answer loses the link.
  void SetLinkTimeouts(int partialFrameMs, int takeoverMs, int writeStallMs = 5000);
  std::string LastError() const;

 private:
  class TFdChannel;
  void TcpLoop();
  void PtyLoop();
  // Serves one open descriptor until it closes, fails, a fault drops it, the
  // server stops, or (when `listenFd` >= 0) the client gives way.
  void ServeFd(int fd, bool socket, int listenFd);
  void SetError(const std::string& text);

  TSimDevice Device_;
  std::atomic<bool> Stopping_{false};
  int WakeFd_ = -1;
  int ListenFd_ = -1;
  int PtyMaster_ = -1;
  int PtySlave_ = -1;
  std::uint16_t Port_ = 0;
  int PartialFrameMs_ = 1000;
  int TakeoverMs_ = 2000;
  int WriteStallMs_ = 5000;
  std::string LinkPath_;
  std::thread TcpThread_;
  std::thread PtyThread_;
  mutable std::mutex ErrMu_;
  std::string Error_;
};
