// The console's log pane over a long day: N result blocks of "Get printer status"
// with every view and the status lines on, written through LogResult into a shown
// main window with the events processed after each block, as a command leaves it.
// Reports the time per block at the start and at the end of the run (medians of
// the first and the last 5% of the blocks, wall clock and process CPU time), the
// same comparison made block for block against an empty log, the memory the log
// holds per block, and what Clear gives back.
//   build/bench/log_bench --benchmark_filter=BM_LogResultBlocks/10000 --benchmark_repetitions=3

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <QAccessible>
#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "FrameCodec.h"
#include "LogFind.h"
#include "LogMemo.h"
#include "StatusDecoding.h"
#include "uMain.h"

namespace {

// What the process holds: heap in use (handed out, not given back) and resident pages.
struct TMemory {
  double Heap = 0;
  double Resident = 0;

  static TMemory Now() {
    const struct mallinfo2 m = mallinfo2();
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
      if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
      std::fclose(f);
    }
    return {static_cast<double>(m.uordblks + m.hblkhd),
            static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE))};
  }
};

// CPU time of the whole process, painting threads included; unlike the wall clock
// it does not count the time others' work keeps this process waiting.
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
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

// Median time per block over the first and the last 5% of the blocks.
void ReportGrowth(benchmark::State& state, const std::string& kind,
                  const std::vector<double>& seconds) {
  const auto window = static_cast<std::ptrdiff_t>(std::max<std::size_t>(1, seconds.size() / 20));
  const double first = Median({seconds.begin(), seconds.begin() + window});
  const double last = Median({seconds.end() - window, seconds.end()});
  state.counters["start" + kind + "_ms"] = first * 1e3;
  state.counters["end" + kind + "_ms"] = last * 1e3;
  state.counters["end_vs_start" + kind] = first > 0 ? last / first : 0;
}

// A main window with every log view on, shown, and its paints counted.
struct TWindow {
  QTemporaryDir Dir;
  TMainForm Form{TConsolePaths{Dir.filePath(QStringLiteral("fprtest.ini")),
                               Dir.filePath(QStringLiteral("fprtest.INI"))}};
  TPaintCounter Paints;

  TWindow() {
    for (QAction* option : {Form.HEX1, Form.chDetailed, Form.cbRaw, Form.cbStatusAsString}) {
      option->setChecked(true);
    }
    Form.StatusMemo->viewport()->installEventFilter(&Paints);
    Form.show();
    QApplication::processEvents();
  }
};

// One result block through LogResult, then the events (the paint) as after a
// command. Returns the wall and the process CPU seconds it took.
std::pair<double, double> WriteBlock(TMainForm& form, const TExchange& e) {
  static const QString title = QStringLiteral("Get printer status(4AH).");
  const auto t0 = std::chrono::steady_clock::now();
  const double c0 = CpuSeconds();
  form.SentRaw = e.Sent;
  form.ReceivedRaw = e.Received;
  form.LogResult(title, QString::fromLatin1(e.Result.c_str()), QString());
  QApplication::processEvents();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count(),
          CpuSeconds() - c0};
}

// The full log against an empty one, block for block in turn, so that a change
// of the machine's load touches both alike: CPU time at the end over at the start.
double PairedGrowth(TMainForm& full, const TExchange& e) {
  TWindow empty;
  std::vector<double> end, start;
  for (int i = 0; i < 200; ++i) {
    end.push_back(WriteBlock(full, e).second);
    start.push_back(WriteBlock(empty.Form, e).second);
  }
  return Median(end) / Median(start);
}

void BM_LogResultBlocks(benchmark::State& state) {
  const auto blocks = static_cast<std::size_t>(state.range(0));
  const TExchange exchange = RecordedStatusExchange();
  TWindow w;
  std::vector<double> wall(blocks), cpu(blocks);
  TMemory before, full, cleared;
  double total = 0, lines = 0, paints = 0, paired = 0;
  for (auto _ : state) {
    before = TMemory::Now();
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < blocks; ++i)
      std::tie(wall[i], cpu[i]) = WriteBlock(w.Form, exchange);
    total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    full = TMemory::Now();
    lines = static_cast<double>(w.Form.StatusMemo->Store().Count());
    paints = static_cast<double>(w.Paints.Paints);
    paired = PairedGrowth(w.Form, exchange);
    w.Form.Clear1Click();
    QApplication::processEvents();
    cleared = TMemory::Now();
  }
  const double n = static_cast<double>(blocks);
  state.counters["lines_per_block"] = lines / n;
  state.counters["paints_per_block"] = paints / n;
  ReportGrowth(state, "", wall);
  ReportGrowth(state, "_cpu", cpu);
  state.counters["end_vs_start_paired"] = paired;
  state.counters["total_s"] = total;
  state.counters["heap_KB_per_block"] = (full.Heap - before.Heap) / n / 1024;
  state.counters["heap_KB_left_after_clear"] = (cleared.Heap - before.Heap) / 1024;
  state.counters["rss_KB_per_block"] = (full.Resident - before.Resident) / n / 1024;
  state.counters["rss_KB_left_after_clear"] = (cleared.Resident - before.Resident) / 1024;
}
BENCHMARK(BM_LogResultBlocks)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// A log of `blocks` full result blocks, written straight into a pane.
void FillLog(TLogMemo& memo, std::size_t blocks) {
  const TExchange e = RecordedStatusExchange();
  TResultBlock block;
  block.Title = QStringLiteral("Get printer status(4AH).");
  block.Result = QString::fromLatin1(e.Result.c_str());
  block.SentRaw = e.Sent;
  block.ReceivedRaw = e.Received;
  block.Options = {true, true, true, true};
  const std::vector<TLogLine> lines = ComposeResultBlock(block);
  for (std::size_t i = 0; i < blocks; ++i) memo.AppendLines(lines);
}

// What a screen reader or another tool reads of the pane: the whole text at once,
// and the whole text line by line as a reader walks it.
void BM_LogAccessibleText(benchmark::State& state) {
  TLogMemo memo;
  FillLog(memo, static_cast<std::size_t>(state.range(0)));
  QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(&memo)->textInterface();
  double whole = 0, byLine = 0;
  std::size_t chars = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    chars = static_cast<std::size_t>(text->text(0, text->characterCount()).size());
    auto t1 = std::chrono::steady_clock::now();
    for (int offset = 0, start = 0, end = 0; offset < text->characterCount(); offset = end) {
      benchmark::DoNotOptimize(text->textAtOffset(offset, QAccessible::LineBoundary, &start, &end));
    }
    auto t2 = std::chrono::steady_clock::now();
    whole = std::chrono::duration<double>(t1 - t0).count();
    byLine = std::chrono::duration<double>(t2 - t1).count();
  }
  state.counters["lines"] = static_cast<double>(memo.Store().Count());
  state.counters["MB_of_text"] = static_cast<double>(chars) * 2 / 1e6;
  state.counters["whole_text_ms"] = whole * 1e3;
  state.counters["line_by_line_ms"] = byLine * 1e3;
}
BENCHMARK(BM_LogAccessibleText)->Arg(10000)->Iterations(3)->Unit(benchmark::kMillisecond);

// Find over the full log: a text met only in the last block, from the top (a
// walk over every line), and the count of a text met in every block.
void BM_LogFind(benchmark::State& state) {
  TLogMemo memo;
  const auto blocks = static_cast<std::size_t>(state.range(0));
  FillLog(memo, blocks);
  memo.AppendLine({QStringLiteral("Result - ERROR Паперу немає"), lsBold, ELogColour::Red});
  const TLogLines& lines = memo.Store();
  const Qt::CaseSensitivity cs = state.range(1) ? Qt::CaseSensitive : Qt::CaseInsensitive;
  const TLogSearch rare(QStringLiteral("Result - ERROR"), cs);
  const TLogSearch common(QStringLiteral("printer status"), cs);
  std::size_t found = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(rare.Next(lines, {}, true));
    found = common.Count(lines, {}).Total;
  }
  state.counters["lines"] = static_cast<double>(lines.Count());
  state.counters["matches_counted"] = static_cast<double>(found);
}
BENCHMARK(BM_LogFind)
    ->ArgsProduct({{10000}, {0, 1}})
    ->ArgNames({"blocks", "match_case"})
    ->Unit(benchmark::kMillisecond);

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
