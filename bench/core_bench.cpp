// Micro-benchmark of the conversion core in memory: ConvertWaypoints over generated GPX,
// next to the memchr scan over the same bytes, so the two can be compared without the
// file system. Bytes per second are input bytes.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "conversion_run.h"
#include "gpx_input.h"
#include "waypoint_reader.h"

namespace {

using namespace wayfold;

constexpr std::size_t kInputBytes = 32u << 20;

std::string LineEnds(std::string text, bool crlf) {
    if (!crlf) return text;
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') result += '\r';
        result += c;
    }
    return result;
}

// About kInputBytes of track points after a few hundred waypoints (waypoints = 300), or
// waypoints only.
std::string MakeGpx(int waypoints, bool trackPoints, bool crlf) {
    std::string gpx = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">\n";
    char line[512];
    for (int i = 0; i < waypoints && gpx.size() < kInputBytes; ++i) {
        std::snprintf(line, sizeof line,
                      "  <wpt lat=\"%.7f\" lon=\"%.6f\">\n    <ele>%d.5</ele>\n"
                      "    <time>2023-04-01T00:00:%02dZ</time>\n    <name>Summit &amp; hut, %d</name>\n"
                      "%s    <sym>Flag, Blue</sym>\n  </wpt>\n",
                      (i % 1300) * 0.1 - 60.0, (i % 3600) * 0.1 - 180.0, i % 3000, i % 60, i,
                      i % 3 == 0 ? "    <desc>Water source, reliable until August</desc>\n" : "");
        gpx += line;
    }
    if (trackPoints) {
        gpx += "  <trk>\n    <trkseg>\n";
        for (int j = 0; gpx.size() < kInputBytes; ++j) {
            std::snprintf(line, sizeof line,
                          "      <trkpt lat=\"%.7f\" lon=\"%.7f\">\n        <ele>%d.3</ele>\n"
                          "        <time>2024-05-10T08:%02d:%02dZ</time>\n      </trkpt>\n",
                          46.0 + (j % 10000) * 1e-5, 7.0 + (j % 7000) * 1e-5, 500 + j % 1000, j / 60 % 60, j % 60);
            gpx += line;
        }
        gpx += "    </trkseg>\n  </trk>\n";
    }
    gpx += "</gpx>\n";
    return LineEnds(gpx, crlf);
}

// Takes the rows and drops them, like a file that is never read back.
class NullSink final : public ByteSink {
public:
    bool Write(const char* data, std::size_t size) override {
        benchmark::DoNotOptimize(data);
        bytes += size;
        return true;
    }
    std::size_t bytes = 0;
};

const std::string& Input(int workload) {
    static const std::string inputs[] = {
        MakeGpx(300, true, false),      // track-dominated
        MakeGpx(300, true, true),       // track-dominated, CR LF
        MakeGpx(1 << 30, false, false)  // waypoint-dense
    };
    return inputs[workload];
}

void BM_ConvertWaypoints(benchmark::State& state) {
    const std::string& gpx = Input(static_cast<int>(state.range(0)));
    const std::size_t blockSize = static_cast<std::size_t>(state.range(1));
    std::unique_ptr<char[]> block(new char[blockSize]);
    WaypointFields fields;
    TagBuffer tag;
    for (auto _ : state) {
        MemoryByteSource source(gpx.data(), gpx.size());
        GpxInput input(source, block.get(), blockSize);
        NullSink sink;
        CsvOutput output(sink);
        ConversionCounts counts = ConvertWaypoints(input, output, fields, tag);
        benchmark::DoNotOptimize(counts);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(gpx.size()));
}

// The yardstick: copy 1 MiB blocks (as fread would) and stop at every "<".
void BM_MemchrScan(benchmark::State& state) {
    const std::string& gpx = Input(static_cast<int>(state.range(0)));
    constexpr std::size_t kBlockSize = 1 << 20;
    std::unique_ptr<char[]> block(new char[kBlockSize]);
    for (auto _ : state) {
        MemoryByteSource source(gpx.data(), gpx.size());
        std::size_t tags = 0;
        long long count;
        while ((count = source.Read(block.get(), kBlockSize)) > 0) {
            const char* at = block.get();
            const char* end = at + count;
            while (const void* hit = std::memchr(at, '<', static_cast<std::size_t>(end - at))) {
                ++tags;
                at = static_cast<const char*>(hit) + 1;
            }
        }
        benchmark::DoNotOptimize(tags);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(gpx.size()));
}

// Workloads: 0 track-dominated, 1 the same with CR LF, 2 waypoint-dense.
BENCHMARK(BM_MemchrScan)->ArgName("workload")->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertWaypoints)
    ->ArgNames({"workload", "block"})
    ->ArgsProduct({{0, 1, 2}, {256 << 10}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertWaypoints)
    ->ArgNames({"workload", "block"})
    ->ArgsProduct({{0}, {16 << 10, 64 << 10, 1 << 20}})
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
