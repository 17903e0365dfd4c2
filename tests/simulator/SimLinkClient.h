#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "SimCodec.h"

// A hand-written host for link tests: sends request frames over a file
// descriptor (TCP socket or pty) and collects what comes back.
class TLinkClient {
 public:
  struct TReply {
    std::string Before;  // bytes before the frame other than SYN and NAK
    std::string Frame;   // 0x01 through 0x03, empty when none came
    int Syn = 0;
    bool Nak = false;
    bool Closed = false;  // the peer closed the link
    int ElapsedMs = 0;
  };

  TLinkClient() = default;
  explicit TLinkClient(int fd) : Fd_(fd) {}
  ~TLinkClient() { Close(); }
  TLinkClient(const TLinkClient&) = delete;
  TLinkClient& operator=(const TLinkClient&) = delete;

  bool ConnectTcp(std::uint16_t port) {
    Close();
    Fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return ::connect(Fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  }
  void Close() {
    if (Fd_ >= 0) ::close(Fd_);
    Fd_ = -1;
  }
  bool Send(const std::string& bytes) {
    return ::write(Fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }

  // Reads until a whole frame, a NAK, the end of the link or the time limit.
  TReply Read(int timeoutMs = 2000) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    TReply r;
    int afterEnq = -1;
    while (true) {
      int left = timeoutMs - Ms(start);
      pollfd p{Fd_, POLLIN, 0};
      if (left <= 0 || ::poll(&p, 1, left) <= 0) break;
      char c = 0;
      if (::read(Fd_, &c, 1) != 1) {
        r.Closed = true;
        break;
      }
      auto b = static_cast<std::uint8_t>(c);
      if (r.Frame.empty() && b == sim::kSYN) {
        ++r.Syn;
      } else if (r.Frame.empty() && b == sim::kNAK) {
        r.Nak = true;
        break;
      } else if (r.Frame.empty() && b != sim::kSOH) {
        r.Before.push_back(c);
      } else {
        r.Frame.push_back(c);
        if (afterEnq >= 0 && ++afterEnq == 5) break;
        if (afterEnq < 0 && b == sim::kENQ && r.Frame.size() > 4) afterEnq = 0;
      }
    }
    r.ElapsedMs = Ms(start);
    return r;
  }

  TReply Exchange(std::uint8_t seq, std::uint8_t cmd, const std::string& data,
                  int timeoutMs = 2000) {
    Send(sim::EncodeRequest(seq, cmd, data));
    return Read(timeoutMs);
  }

  int Fd() const { return Fd_; }

 private:
  static int Ms(std::chrono::steady_clock::time_point t) {
    return static_cast<int>(
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t)
            .count());
  }
  int Fd_ = -1;
};

// A response frame taken apart by position, with its LEN and checksum checked
// the way the host checks them.
struct TParsedReply {
  std::uint8_t Len = 0, Seq = 0, Cmd = 0;
  std::string Data, Status;
  bool LenOk = false, SumOk = false;
};

inline TParsedReply ParseReply(const std::string& f) {
  TParsedReply r;
  if (f.size() < 15) return r;
  r.Len = static_cast<std::uint8_t>(f[1]);
  r.Seq = static_cast<std::uint8_t>(f[2]);
  r.Cmd = static_cast<std::uint8_t>(f[3]);
  std::size_t eot = f.find('\x04', 4);
  std::size_t enq = f.find('\x05', eot);
  if (eot == std::string::npos || enq == std::string::npos) return r;
  r.Data = f.substr(4, eot - 4);
  r.Status = f.substr(eot + 1, enq - eot - 1);
  r.LenOk = enq == static_cast<std::size_t>(r.Len - 0x20);
  unsigned sum = 0;
  for (std::size_t i = 1; i <= enq; ++i) sum += static_cast<std::uint8_t>(f[i]);
  std::string expected;
  for (int k = 12; k >= 0; k -= 4) expected.push_back(static_cast<char>(0x30 + ((sum >> k) & 15)));
  r.SumOk = f.compare(enq + 1, 4, expected) == 0 && f.back() == '\x03';
  return r;
}
