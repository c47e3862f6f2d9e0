// The whole export path against a floor that only writes: collection through the stand-in
// host, conversion and the export of 1,000 / 10,000 / 100,000 synthetic assets, beside the
// finished document's bytes written from memory in large blocks, with and without
// bringing them to stable storage as the export does. The host data is loaded before
// timing starts.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <new>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "aggregation/AssetAggregator.h"
#include "app/SelectedData.h"
#include "common/Business.h"
#include "common/File.h"
#include "export/XmlExport.h"
#include "host_standin/HostStandIn.h"

// Heap accounting, to report the pipeline's peak memory per size.
namespace {
std::atomic<size_t> g_heapNow{0};
std::atomic<size_t> g_heapPeak{0};

void* CountedAlloc(size_t size) {
    void* p = std::malloc(size ? size : 1);
    if (p == nullptr) throw std::bad_alloc();
    const size_t now = g_heapNow += malloc_usable_size(p);
    size_t peak = g_heapPeak.load(std::memory_order_relaxed);
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
    }
    return p;
}
void CountedFree(void* p) {
    if (p == nullptr) return;
    g_heapNow -= malloc_usable_size(p);
    std::free(p);
}
}  // namespace

void* operator new(size_t size) { return CountedAlloc(size); }
void* operator new[](size_t size) { return CountedAlloc(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { CountedFree(p); }
void operator delete[](void* p) noexcept { CountedFree(p); }
void operator delete(void* p, size_t) noexcept { CountedFree(p); }
void operator delete[](void* p, size_t) noexcept { CountedFree(p); }

namespace {

namespace fs = std::filesystem;

// A company with `n` assets of both business categories, several depreciation methods,
// small assets, disposals and texts with double-byte characters and escaped symbols.
std::string SyntheticHostData(int n) {
    // The host data file is UTF-8: u8 keeps these texts out of the Shift_JIS conversion
    // that every other literal of the program goes through.
    static const char* const kNames[] = {u8"営業用車両",
                                         u8"事務所兼店舗(木造)",
                                         u8"梱包機",
                                         u8"ノートパソコン",
                                         u8"賃貸アパート「メゾン」",
                                         u8"駐車場舗装 A&B",
                                         u8"応接セット",
                                         u8"複合機"};
    std::ostringstream j;
    j << R"({"user": {"id": "bench", "selected": [1, 1]}, "dataSets": [{"id": "BENCH-2025",)"
      << u8R"("number": 1, "company": "ABC商事 ﾍﾞﾝﾁ店", "periodStart": 20250101,)"
      << R"("periodEnd": 20251231, "businessKinds": 3, "rounding": 0, "assets": [)";
    for (int i = 0; i < n; ++i) {
        const int kind = i % 8;
        const long cost = 100000 + (i % 997) * 1000;
        const int method = kind == 3 ? 7 : kind == 6 ? 5 : kind == 4 ? 2 : 8;
        const int acquired =
            method == 7 ? 20250101 + (i % 11) * 100 : 20000101 + (i % 25) * 10000 + (i % 12) * 100;
        if (i) j << ',';
        j << R"({"typeCode": )" << (kind == 4 ? 1 : 6) << R"(, "name": ")" << kNames[kind] << ' '
          << i << R"(", "quantity": ")" << (1 + i % 9) << u8R"(台", "remarks": "備考)" << i % 100
          << R"(", "acquired": )" << acquired << R"(, "cost": ")" << cost
          << R"(", "bookValueStart": ")" << cost / 2 << R"(", "method": )" << method
          << R"(, "life": )" << 4 + i % 30 << R"(, "rate": )" << 34 + i % 400
          << R"(, "businessRatio": )" << (i % 5 ? 10000 : 8000) << R"(, "months": 12)"
          << R"(, "baseAmount": ")" << cost << R"(", "unamortizedEnd": ")" << cost / 3
          << R"(", "businessCategory": )" << (kind == 4 || kind == 5 ? 2 : 1)
          << R"(, "disposalState": )" << (i % 50 == 7 ? 4 : 0) << R"(, "disposed": )"
          << (i % 50 == 7 ? 20250630 : 0) << R"(, "ordinary": ")" << cost / 6
          << R"(", "expenses": ")" << cost / 6 << R"("})";
    }
    j << "]}]}";
    return j.str();
}

struct Loaded {
    int n = -1;
    StDATAINFO data;
    std::string document;  // the finished document's bytes
};
Loaded g_loaded;
std::string g_dir;

void RunPipeline(const StDATAINFO& data, const std::string& out, size_t* records) {
    ClSnapshotList snapshots;
    ClRecordList list;
    ClAssetAggregator aggregator;
    if (!aggregator.CollectAssets(snapshots, data, BUSINESS_BOTH) ||
        !aggregator.ConvertAssets(snapshots, list, data)) {
        std::fprintf(stderr, "aggregation failed\n");
        std::exit(1);
    }
    ClXmlExport exporter;
    exporter.SetRecordList(&list);
    exporter.SetProgressBase(400);
    if (!exporter.Export(out.c_str(), 2, &data)) {
        std::fprintf(stderr, "export failed\n");
        std::exit(1);
    }
    if (records) *records = list.size();
}

void EnsureLoaded(int n) {
    if (g_loaded.n == n) return;
    g_loaded = Loaded();
    const std::string why = hoststandin::LoadFromString(SyntheticHostData(n));
    if (!why.empty() || !velnor::FindSelectedDataSet(&g_loaded.data)) {
        std::fprintf(stderr, "synthetic host data refused: %s\n", why.c_str());
        std::exit(1);
    }
    const std::string reference = g_dir + "/reference.xml";
    RunPipeline(g_loaded.data, reference, nullptr);
    std::ifstream in(reference, std::ios::binary);
    g_loaded.document.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    g_loaded.n = n;
}

struct Figures {
    double pipelineSeconds = 0;  // real time per iteration
    double floorSeconds = 0;
    double durableFloorSeconds = 0;
    double pipelineCpu = 0;  // CPU time per iteration
    double floorCpu = 0;
    size_t peakHeap = 0;
    size_t bytes = 0;
};
std::map<int, Figures> g_figures;

void BM_Pipeline(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    EnsureLoaded(n);
    const std::string out = g_dir + "/pipeline.xml";
    size_t peak = 0;
    size_t records = 0;
    for (auto _ : state) {
        const size_t base = g_heapNow.load();
        g_heapPeak = base;
        RunPipeline(g_loaded.data, out, &records);
        peak = std::max(peak, g_heapPeak.load() - base);
    }
    state.counters["per_asset"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    state.counters["records"] = static_cast<double>(records);
    state.counters["peak_heap_MB"] = static_cast<double>(peak) / 1e6;
    g_figures[n].peakHeap = peak;
    g_figures[n].bytes = g_loaded.document.size();
}

// The document's bytes from memory in blocks of 1 MiB; `durable` also brings them to
// stable storage before closing, as the export does before it moves its file into place.
void WriteFloor(benchmark::State& state, bool durable) {
    const int n = static_cast<int>(state.range(0));
    EnsureLoaded(n);
    const std::string out = g_dir + "/floor.xml";
    const std::string& doc = g_loaded.document;
    constexpr size_t kBlock = 1 << 20;
    for (auto _ : state) {
        velnor::ClFile file;
        if (!file.Open(out.c_str(), velnor::ClFile::kWrite | velnor::ClFile::kShareExclusive |
                                        velnor::ClFile::kCreate)) {
            state.SkipWithError("cannot open");
            break;
        }
        for (size_t at = 0; at < doc.size(); at += kBlock) {
            file.Write(doc.data() + at, std::min(kBlock, doc.size() - at));
        }
        if (durable) file.Flush();
        file.Close();
    }
    state.counters["per_asset"] = benchmark::Counter(
        n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_Floor(benchmark::State& state) { WriteFloor(state, false); }
void BM_DurableFloor(benchmark::State& state) { WriteFloor(state, true); }

// Keeps the mean time of each run for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
  public:
    SummaryReporter() : ConsoleReporter(OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred || run.iterations == 0) continue;
            const std::string name = run.benchmark_name();
            const int n = std::atoi(name.substr(name.find('/') + 1).c_str());
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            Figures& f = g_figures[n];
            if (name.rfind("BM_Pipeline", 0) == 0) {
                f.pipelineSeconds = run.GetAdjustedRealTime() / unit;
                f.pipelineCpu = run.GetAdjustedCPUTime() / unit;
            } else if (name.rfind("BM_Floor", 0) == 0) {
                f.floorSeconds = run.GetAdjustedRealTime() / unit;
                f.floorCpu = run.GetAdjustedCPUTime() / unit;
            } else if (name.rfind("BM_DurableFloor", 0) == 0) {
                f.durableFloorSeconds = run.GetAdjustedRealTime() / unit;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

int main(int argc, char** argv) {
    char pattern[] = "/tmp/velnor-bench.XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    g_dir = pattern;
    // The floors and the pipeline of one size run back to back, so that all see the same
    // state of the machine; a few whole iterations even at 100,000 assets.
    for (const auto& [n, iterations] : {std::pair<int, int>{1000, 40}, {10000, 10}, {100000, 5}}) {
        for (const auto& [name, function] :
             {std::pair<const char*, void (*)(benchmark::State&)>{"BM_Floor", BM_Floor},
              {"BM_DurableFloor", BM_DurableFloor},
              {"BM_Pipeline", BM_Pipeline}}) {
            benchmark::RegisterBenchmark(name, function)
                ->Arg(n)
                ->Iterations(iterations)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    fs::remove_all(g_dir);

    std::printf("\n%8s %14s %12s %14s %12s %14s %10s %12s\n", "assets", "pipeline/asset",
                "floor/asset", "durable/asset", "ratio(real)", "ratio(durable)", "document",
                "peak heap");
    for (const auto& [n, f] : g_figures) {
        if (f.pipelineSeconds <= 0 || f.floorSeconds <= 0 || f.durableFloorSeconds <= 0) continue;
        std::printf("%8d %11.2f us %9.2f us %11.2f us %11.2fx %13.2fx %7.1f MB %6.0f B/asset\n", n,
                    f.pipelineSeconds / n * 1e6, f.floorSeconds / n * 1e6,
                    f.durableFloorSeconds / n * 1e6, f.pipelineSeconds / f.floorSeconds,
                    f.pipelineSeconds / f.durableFloorSeconds, f.bytes / 1e6,
                    static_cast<double>(f.peakHeap) / n);
    }
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("process peak resident set: %.1f MB (includes the loaded host data)\n",
                usage.ru_maxrss / 1024.0);
    return 0;
}
