// The console's log pane over a long day: N result blocks of "Get printer status"
// with every view and the status lines on, written through LogResult into a shown
// main window with the events processed after each block, as a command leaves it.
// Reports the time per block at the start and at the end of the run (medians of
// the first and the last 5% of the blocks), the heap the log holds per block, and
// what Clear gives back.
//   build/bench/log_bench --benchmark_filter=BM_LogResultBlocks/10000

#include <malloc.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "FrameCodec.h"
#include "LogMemo.h"
#include "StatusDecoding.h"
#include "uMain.h"

namespace {

// Bytes the heap has handed out and not taken back.
double HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<double>(m.uordblks + m.hblkhd);
}

double ResidentBytes() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE));
}

// A recorded exchange of 4AH: the request and an answer with a few flags set.
struct TExchange {
  std::string Sent, Received, Result;
};

TExchange RecordedStatusExchange() {
  const TDataBuffer status{0x80, 0x82, 0x80, 0x88, 0x80, 0x80};
  const TDataBuffer request = BuildRequestFrame(0x2B, 0x4A, {'W'});
  const TDataBuffer answer = BuildResponseFrame(0x2B, 0x4A, status, status);
  return {std::string(request.begin(), request.end()), std::string(answer.begin(), answer.end()),
          StatusBitsText(status)};
}

// Counts the paints of the log's viewport: the view is drawn as it would be on screen.
class TPaintCounter : public QObject {
 public:
  std::size_t Paints = 0;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++Paints;
    return QObject::eventFilter(watched, event);
  }
};

double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

void BM_LogResultBlocks(benchmark::State& state) {
  const auto blocks = static_cast<std::size_t>(state.range(0));
  const TExchange exchange = RecordedStatusExchange();
  const QString title = QStringLiteral("Get printer status(4AH).");
  const QString result = QString::fromLatin1(exchange.Result.c_str());
  QTemporaryDir dir;
  TMainForm form(TConsolePaths{dir.filePath(QStringLiteral("fprtest.ini")),
                               dir.filePath(QStringLiteral("fprtest.INI"))});
  for (QAction* option : {form.HEX1, form.chDetailed, form.cbRaw, form.cbStatusAsString}) {
    option->setChecked(true);
  }
  TPaintCounter paints;
  form.StatusMemo->viewport()->installEventFilter(&paints);
  form.show();
  QApplication::processEvents();

  std::vector<double> seconds(blocks);
  double heapBefore = 0, heapFull = 0, heapCleared = 0, rssBefore = 0, rssFull = 0;
  double rssCleared = 0, total = 0, lines = 0;
  for (auto _ : state) {
    heapBefore = HeapInUse();
    rssBefore = ResidentBytes();
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < blocks; ++i) {
      const auto t0 = std::chrono::steady_clock::now();
      form.SentRaw = exchange.Sent;
      form.ReceivedRaw = exchange.Received;
      form.LogResult(title, result, QString());
      QApplication::processEvents();
      seconds[i] = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
    total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    heapFull = HeapInUse();
    rssFull = ResidentBytes();
    lines = static_cast<double>(form.StatusMemo->Lines().size());
    form.Clear1Click();
    QApplication::processEvents();
    heapCleared = HeapInUse();
    rssCleared = ResidentBytes();
  }

  const std::size_t window = std::max<std::size_t>(1, blocks / 20);
  const double first = Median({seconds.begin(), seconds.begin() + window});
  const double last = Median({seconds.end() - window, seconds.end()});
  const double n = static_cast<double>(blocks);
  state.counters["lines_per_block"] = lines / n;
  state.counters["paints_per_block"] = static_cast<double>(paints.Paints) / n;
  state.counters["start_ms"] = first * 1e3;
  state.counters["end_ms"] = last * 1e3;
  state.counters["end_vs_start"] = first > 0 ? last / first : 0;
  state.counters["total_s"] = total;
  state.counters["heap_KB_per_block"] = (heapFull - heapBefore) / n / 1024;
  state.counters["heap_KB_left_after_clear"] = (heapCleared - heapBefore) / 1024;
  state.counters["rss_KB_per_block"] = (rssFull - rssBefore) / n / 1024;
  state.counters["rss_KB_left_after_clear"] = (rssCleared - rssBefore) / 1024;
}
BENCHMARK(BM_LogResultBlocks)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  // Painting happens off screen unless a platform was chosen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
