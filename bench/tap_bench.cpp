// What the tap adds to an exchange: TTCPDevice sends GetPrinterStatus to the
// simulator in this process, directly and through a tap in this process with
// its decoder on, in alternating batches so that both see the same machine
// load. Counters: the median exchange each way, the median added by the tap,
// and the exchanges per second through the tap.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include "FrameCodec.h"
#include "SimServer.h"
#include "TCPDeviceUnit.h"
#include "TapAppLinks.h"
#include "TapMonitor.h"
#include "TapOptions.h"
#include "TapQueuedSink.h"

namespace {

class TNullBuffer : public std::streambuf {
 protected:
  int overflow(int c) override { return traits_type::not_eof(c); }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
};

// The simulator and a tap in front of it, served on a thread until destroyed.
class TTapBench {
 public:
  TTapBench() : Null(&Buffer), Monitor(Null, MonitorOptions()), Queued(Monitor) {
    Sim.Device().SetWorkTime(0);
    Sim.StartTcp("127.0.0.1", 0);
    std::string error;
    ParseTapArgs({"--listen", "0", "--device", "127.0.0.1:" + std::to_string(Sim.Port())}, Options,
                 error);
    Links = std::make_unique<TTapLinks>(Options, Null);
    Links->Open();
    Serving = std::async(std::launch::async,
                         [this] { return Links->Serve(Queued, SteadyTapClock(), Stop); });
  }
  ~TTapBench() {
    Stop.Raise();
    Serving.get();
    Sim.Stop();
  }
  static TTapMonitorOptions MonitorOptions() {
    TTapMonitorOptions o;
    o.Json = true;  // every field of every frame is formatted
    return o;
  }
  std::uint16_t SimPort() const { return Sim.Port(); }
  std::uint16_t TapPort() const { return Links->ListenPort(); }
  int Exchanges() {
    Queued.Drain();
    return Monitor.Summary().Exchanges;
  }

 private:
  TSimServer Sim;
  TNullBuffer Buffer;
  std::ostream Null;
  TTapMonitor Monitor;
  TTapQueuedSink Queued;  // as fprtap runs it
  TTapOptions Options;
  std::unique_ptr<TTapLinks> Links;
  TTapStop Stop;
  std::future<int> Serving;
};

std::unique_ptr<TTCPDevice> Connect(std::uint16_t port) {
  auto dev = std::make_unique<TTCPDevice>();
  dev->SetHost("127.0.0.1");
  dev->SetPort(std::to_string(port));
  return dev->Connect() ? std::move(dev) : nullptr;
}

// Times each exchange of a batch on a link of its own, in microseconds. The
// simulator serves one client at a time, so the links take turns.
bool Batch(std::uint16_t port, int count, std::vector<double>& times) {
  auto dev = Connect(port);
  if (!dev) return false;
  for (int i = 0; i < count; ++i) {
    TDataBuffer data{'W'}, status;
    const auto start = std::chrono::steady_clock::now();
    if (!dev->SendCommand(0x4A, data, status)) return false;
    times.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
  }
  return true;
}

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
  return v[v.size() / 2];
}

void BM_TapAddedPerExchange(benchmark::State& state) {
  constexpr int kBatch = 200;
  TTapBench bench;
  std::vector<double> directUs, tapUs;
  for (auto _ : state) {
    if (!Batch(bench.SimPort(), kBatch, directUs) || !Batch(bench.TapPort(), kBatch, tapUs))
      return state.SkipWithError("exchange failed");
  }
  double tapTotal = 0;
  for (double t : tapUs) tapTotal += t;
  state.counters["direct_median_us"] = Median(directUs);
  state.counters["tap_median_us"] = Median(tapUs);
  state.counters["added_median_us"] = Median(tapUs) - Median(directUs);
  state.counters["tap_exchanges/s"] = tapUs.size() / (tapTotal / 1e6);
  state.counters["decoded"] = bench.Exchanges();
}

// Exchanges per second through the tap, decoder on, nothing else timed.
void BM_TapExchanges(benchmark::State& state) {
  TTapBench bench;
  auto tapped = Connect(bench.TapPort());
  if (!tapped) return state.SkipWithError("cannot connect");
  for (auto _ : state) {
    TDataBuffer data{'W'}, status;
    if (!tapped->SendCommand(0x4A, data, status)) return state.SkipWithError("exchange failed");
  }
  state.counters["exchanges/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// The decoder and the printer alone (argument 1: JSON, 0: text with every
// view), for one exchange of the same size.
void BM_TapMonitorOnly(benchmark::State& state) {
  TNullBuffer buffer;
  std::ostream null(&buffer);
  TTapMonitorOptions options;
  options.Json = state.range(0) == 1;
  TTapMonitor monitor(null, options);
  const TDataBuffer status(6, 0x80);
  std::int64_t now = 0;
  std::uint8_t seq = 0x20;
  for (auto _ : state) {
    const TDataBuffer request = BuildRequestFrame(seq, 0x4A, {'W'});
    const TDataBuffer answer = BuildResponseFrame(seq, 0x4A, status, status);
    monitor.OnBytes(TTapSide::Host, {reinterpret_cast<const char*>(request.data()), request.size()},
                    now += 10);
    monitor.OnBytes(TTapSide::Device, {reinterpret_cast<const char*>(answer.data()), answer.size()},
                    now += 10);
    seq = NextSequence(seq);
  }
  state.counters["exchanges/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_TapAddedPerExchange)->UseRealTime()->MinTime(2.0);
BENCHMARK(BM_TapExchanges)->UseRealTime()->MinTime(1.0);
BENCHMARK(BM_TapMonitorOnly)->Arg(1)->Arg(0)->MinTime(0.5);

BENCHMARK_MAIN();
