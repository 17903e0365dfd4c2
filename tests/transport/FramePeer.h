#pragma once

// A peer that answers request frames on a real descriptor (a loopback TCP
// connection or a pty master) from its own thread. Used by the real-link tests
// and the benchmark.

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "BaseDeviceUnit.h"

// Returns the bytes to write back for one request frame (0x01 through 0x03).
// An answer that ends with no 0x03 closes the link after it is written.
using TPeerAnswer = std::function<TDataBuffer(const TDataBuffer& request)>;

// Answers frames until `fd` closes or `stopFd` becomes readable, counting them
// in `frames`.
void ServeFrames(int fd, int stopFd, const TPeerAnswer& answer, std::atomic<int>& frames);

// Listens on 127.0.0.1 at a free port and serves one connection after another.
class TLoopbackPeer {
 public:
  explicit TLoopbackPeer(TPeerAnswer answer);
  ~TLoopbackPeer();
  int Port() const { return ListenPort; }
  std::atomic<int> Frames{0};
  std::atomic<int> Connections{0};

 private:
  void Run();
  TPeerAnswer Answer;
  int ListenFd = -1;
  int ListenPort = 0;
  int StopPipe[2] = {-1, -1};
  std::thread Thread;
};

// A pty pair; the peer serves the master side, the device opens SlavePath.
class TPtyPeer {
 public:
  explicit TPtyPeer(TPeerAnswer answer);
  ~TPtyPeer();
  std::string SlavePath;
  int SlaveFd = -1;  // kept open so that the master never sees a hang-up
  std::atomic<int> Frames{0};

 private:
  TPeerAnswer Answer;
  int MasterFd = -1;
  int StopPipe[2] = {-1, -1};
  std::thread Thread;
};

// Answers every request with a well-formed frame carrying `dataText`.
TPeerAnswer AnswerWithText(const std::string& dataText);
