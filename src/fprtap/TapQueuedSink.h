#pragma once

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "TapSink.h"

// Hands the relay's runs to another sink on a thread of its own, so that
// decoding, formatting and writing never sit between an answer and the next
// request. The relay only copies the bytes; the other thread takes them in
// batches, in the order they came. Nothing is dropped: when `CapBytes` wait
// to be handed on, the relay waits until the thread has taken them.
class TTapQueuedSink : public ITapSink {
 public:
  explicit TTapQueuedSink(ITapSink& inner, std::size_t capBytes = 4 << 20);
  // Hands on everything still queued, then ends the thread.
  ~TTapQueuedSink() override;
  TTapQueuedSink(const TTapQueuedSink&) = delete;
  TTapQueuedSink& operator=(const TTapQueuedSink&) = delete;

  void OnBytes(TTapSide from, std::string_view bytes, std::int64_t timeUs) override;
  void OnClose(TTapSide side, std::int64_t timeUs) override;

  // Returns once everything queued so far has reached the inner sink.
  void Drain();

  // How long the thread lets runs gather after a batch (the delay of the
  // live output is at most about this).
  static constexpr int kGatherUs = 5000;

 private:
  void Put(char kind, std::string_view bytes, std::int64_t timeUs);
  void Loop();
  void Deliver(const std::string& batch);

  ITapSink& Inner;
  const std::size_t Cap;
  std::mutex Mu;
  std::condition_variable Filled;   // the thread waits for runs
  std::condition_variable Emptied;  // the relay and Drain wait for the thread
  std::string Queue;                // records: kind, time, length, bytes
  std::uint64_t Put_ = 0, Done_ = 0;  // records queued and delivered
  bool Idle = false;                // the thread waits on Filled
  bool Quit = false;
  std::thread Worker;
};
