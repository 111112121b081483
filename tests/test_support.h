// Small helpers shared by the core's tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "conversion_run.h"
#include "gpx_input.h"
#include "waypoint_reader.h"

namespace wayfold::test {

struct ReadWaypoint {
    std::string lat, lon, name, desc, cmt;
    bool operator==(const ReadWaypoint& o) const {
        return lat == o.lat && lon == o.lon && name == o.name && desc == o.desc && cmt == o.cmt;
    }
};

// Every waypoint ReadNextWaypoint finds in `gpx`, read through a block of `blockSize`
// bytes from a source that hands out `chunk` bytes at a time.
inline std::vector<ReadWaypoint> ReadAll(const std::string& gpx, std::size_t blockSize = 4096,
                                         std::size_t chunk = static_cast<std::size_t>(-1)) {
    MemoryByteSource source(gpx.data(), gpx.size(), chunk);
    std::vector<char> block(blockSize);
    GpxInput input(source, block.data(), block.size());
    WaypointFields fields;
    TagBuffer tag;
    std::vector<ReadWaypoint> result;
    while (ReadNextWaypoint(input, fields, tag)) {
        result.push_back({fields.lat, fields.lon, fields.name, fields.desc, fields.cmt});
    }
    return result;
}

// A sink that keeps what it is given, and can be told to fail from a given write on.
class StringSink final : public ByteSink {
public:
    bool Write(const char* data, std::size_t size) override {
        ++writes;
        if (failFromWrite != 0 && writes >= failFromWrite) return false;
        bytes.append(data, size);
        return true;
    }
    std::string bytes;
    int writes = 0;
    int failFromWrite = 0;  // 0: never fail
};

// The summary a run with these counts shows.
inline std::string SummaryText(std::int32_t converted, std::int32_t noName, std::int32_t noPosition) {
    ConversionCounts counts;
    counts.converted = converted;
    counts.skippedNoName = noName;
    counts.skippedNoPosition = noPosition;
    TagBuffer tag;
    BuildSummary(counts, tag);
    return tag.text;
}

struct RunResult {
    std::string csv;
    std::string summary;
    ConversionCounts counts;
};

inline RunResult Convert(const std::string& gpx, std::size_t blockSize = 4096,
                         std::size_t chunk = static_cast<std::size_t>(-1)) {
    MemoryByteSource source(gpx.data(), gpx.size(), chunk);
    std::vector<char> block(blockSize);
    GpxInput input(source, block.data(), block.size());
    StringSink sink;
    CsvOutput output(sink);
    WaypointFields fields;
    TagBuffer tag;
    RunResult result;
    result.counts = ConvertWaypoints(input, output, fields, tag);
    BuildSummary(result.counts, tag);
    result.csv = sink.bytes;
    result.summary = tag.text;
    return result;
}

}  // namespace wayfold::test
