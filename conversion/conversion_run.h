// The conversion run: waypoints in, CSV rows out, counts and the summary text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "gpx_input.h"
#include "waypoint_reader.h"

namespace wayfold {

struct ConversionCounts {
    std::int32_t converted = 0;
    std::int32_t skippedNoName = 0;
    std::int32_t skippedNoPosition = 0;
};

// Closes every summary: the program and its copyright, then its web address.
extern const char CreditText[];

// Where the CSV bytes go. Write returns false when the bytes could not be written.
class ByteSink {
public:
    virtual bool Write(const char* data, std::size_t size) = 0;

protected:
    ~ByteSink() = default;
};

// A byte sink over a C file opened in binary mode; each write is flushed to the system.
class FileByteSink final : public ByteSink {
public:
    explicit FileByteSink(std::FILE* file) : file_(file) {}
    bool Write(const char* data, std::size_t size) override;
    int errorNumber() const { return errorNumber_; }

private:
    std::FILE* file_;
    int errorNumber_ = 0;
};

// The CSV output stream. A row is collected in a fixed buffer and handed to the sink
// in one write at its line end. Every LF becomes CR LF. After a failed write all later
// output is discarded, and `failed` stays set for the caller to report.
class CsvOutput {
public:
    explicit CsvOutput(ByteSink& sink) : sink_(sink) {}

    void Write(const char* text);   // a zero-terminated text
    void EndRow();                  // CR LF, then the row goes to the sink

    bool failed() const { return failed_; }

private:
    void Append(const char* data, std::size_t size);
    void Flush();

    // Room for the longest possible row (two 49-character coordinates and two quoted
    // 1023-character fields made only of line breaks), so a row is always one write.
    static constexpr std::size_t kRowCapacity = 8192;
    ByteSink& sink_;
    char row_[kRowCapacity];
    std::size_t used_ = 0;
    bool failed_ = false;
};

ConversionCounts ConvertWaypoints(GpxInput& input, CsvOutput& output, WaypointFields& fields, TagBuffer& tag);

// Writes the summary of `counts` (LF line ends, CreditText last) into `tag`.
void BuildSummary(const ConversionCounts& counts, TagBuffer& tag);

}  // namespace wayfold
