// Fuzzes a whole run, bytes to CSV and summary, through blocks and reads of sizes taken
// from the input, and checks what must hold for every input:
//   - each row reaches the sink in one write, ends in CR LF and holds no lone CR or LF;
//   - one row per converted waypoint, and no more waypoints than "<" in the input;
//   - the summary has its fixed shape;
//   - the result does not depend on where the block and read boundaries fall;
//   - a failing sink stays failed and receives nothing after its failure;
//   - the CSV and counts are those of the plain reference implementation in tests/reference,
//     which reads one character at a time (so shortcuts taken for speed cannot change them).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "conversion_run.h"
#include "reference/reference_conversion.h"
#include "gpx_input.h"
#include "waypoint_reader.h"

namespace {

using namespace wayfold;

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

class CheckingSink final : public ByteSink {
public:
    explicit CheckingSink(std::size_t failAtWrite = 0) : failAtWrite_(failAtWrite) {}

    bool Write(const char* data, std::size_t size) override {
        Require(!failed_, "no write after a failed one");
        ++writes;
        if (failAtWrite_ != 0 && writes >= failAtWrite_) {
            failed_ = true;
            return false;
        }
        Require(size >= 2 && data[size - 2] == '\r' && data[size - 1] == '\n', "a row ends in CR LF");
        for (std::size_t i = 0; i < size; ++i) {
            if (data[i] == '\r') Require(i + 1 < size && data[i + 1] == '\n', "no lone CR");
            if (data[i] == '\n') Require(i > 0 && data[i - 1] == '\r', "no lone LF");
        }
        bytes.append(data, size);
        return true;
    }

    std::string bytes;
    std::size_t writes = 0;

private:
    std::size_t failAtWrite_;
    bool failed_ = false;
};

struct Run {
    std::string csv;
    ConversionCounts counts;
    std::string summary;
    bool outputFailed;
    std::size_t writes;
};

Run ConvertBytes(const char* data, std::size_t size, std::size_t blockSize, std::size_t chunk,
                 std::size_t failAtWrite = 0) {
    MemoryByteSource source(data, size, chunk);
    // Exactly blockSize bytes on the heap, so that any step past the block is caught.
    std::unique_ptr<char[]> block(new char[blockSize]);
    GpxInput input(source, block.get(), blockSize);
    CheckingSink sink(failAtWrite);
    CsvOutput output(sink);
    auto fields = std::make_unique<WaypointFields>();
    auto tag = std::make_unique<TagBuffer>();
    Run run;
    run.counts = ConvertWaypoints(input, output, *fields, *tag);
    BuildSummary(run.counts, *tag);
    run.csv = sink.bytes;
    run.summary = tag->text;
    run.outputFailed = output.failed();
    run.writes = sink.writes;
    return run;
}

// The run must give what the plain reference implementation of the rules gives.
void RequireReferenceResult(const Run& run, const char* data, std::size_t size) {
    reference::Conversion expected = reference::Convert(std::string(data, size));
    Require(run.csv == expected.csv, "the same CSV as the reference");
    Require(run.counts.converted == expected.converted && run.counts.skippedNoName == expected.skippedNoName &&
                run.counts.skippedNoPosition == expected.skippedNoPosition,
            "the same counts as the reference");
}

std::string ExpectedSummary(const ConversionCounts& counts) {
    std::string text = std::to_string(counts.converted) + " waypoints converted.\n";
    if (counts.skippedNoName > 0) text += std::to_string(counts.skippedNoName) + " waypoints skipped: missing name.\n";
    if (counts.skippedNoPosition > 0) {
        text += std::to_string(counts.skippedNoPosition) + " waypoints skipped: missing latitude or longitude.\n";
    }
    return text + "\n" + CreditText;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 3) return 0;
    // The first three bytes choose the block size, the read size and a write to fail;
    // the rest is the file.
    std::size_t blockSize = 1 + bytes[0] % 97;
    std::size_t chunk = 1 + bytes[1] % 13;
    std::size_t failAtWrite = 1 + bytes[2] % 4;
    const char* data = reinterpret_cast<const char*>(bytes + 3);
    size -= 3;

    Run run = ConvertBytes(data, size, blockSize, chunk);
    Require(!run.outputFailed, "a sink that never fails leaves the output good");
    Require(run.counts.converted >= 0 && run.counts.skippedNoName >= 0 && run.counts.skippedNoPosition >= 0,
            "counts are not negative");
    Require(run.writes == static_cast<std::size_t>(run.counts.converted), "one write per converted waypoint");
    std::size_t opens = 0;
    for (std::size_t i = 0; i < size; ++i) opens += data[i] == '<';
    std::size_t skipped = static_cast<std::size_t>(run.counts.skippedNoName > run.counts.skippedNoPosition
                                                       ? run.counts.skippedNoName
                                                       : run.counts.skippedNoPosition);
    Require(static_cast<std::size_t>(run.counts.converted) + skipped <= opens, "each waypoint takes a '<'");
    Require(run.summary == ExpectedSummary(run.counts), "summary shape");
    Require(run.csv.empty() == (run.counts.converted == 0), "an empty CSV iff nothing converted");

    // The same bytes read in one piece give the same result.
    Run whole = ConvertBytes(data, size, size + 1, size + 1);
    Require(whole.csv == run.csv, "CSV independent of block boundaries");
    Require(whole.summary == run.summary, "summary independent of block boundaries");

    RequireReferenceResult(run, data, size);

    // A sink failing at one write: the failure is seen and nothing follows it.
    Run failing = ConvertBytes(data, size, blockSize, chunk, failAtWrite);
    Require(failing.outputFailed == (static_cast<std::size_t>(run.counts.converted) >= failAtWrite),
            "a failed write is reported");
    Require(failing.summary == run.summary, "a failed write does not change the counts");
    Require(run.csv.compare(0, failing.csv.size(), failing.csv) == 0, "what was written before the failure is right");
    return 0;
}
