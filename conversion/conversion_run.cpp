#include "conversion_run.h"

#include <cerrno>
#include <cstring>
#include <limits>

#include "csv_field.h"

namespace wayfold {

const char CreditText[] =
    "wayfold, Copyright (C) 2026 the wayfold authors\n"
    "https://wayfold.org";

bool FileByteSink::Write(const char* data, std::size_t size) {
    errno = 0;
    if (std::fwrite(data, 1, size, file_) != size || std::fflush(file_) != 0) {
        if (errorNumber_ == 0) errorNumber_ = errno;
        return false;
    }
    return true;
}

void CsvOutput::Append(const char* data, std::size_t size) {
    while (size > 0) {
        if (used_ == kRowCapacity) Flush();  // the one bounds check of the row buffer
        std::size_t room = kRowCapacity - used_;
        std::size_t take = size < room ? size : room;
        std::memcpy(row_ + used_, data, take);
        used_ += take;
        data += take;
        size -= take;
    }
}

void CsvOutput::Flush() {
    if (!failed_ && used_ > 0 && !sink_.Write(row_, used_)) failed_ = true;
    used_ = 0;
}

void CsvOutput::Write(const char* text) {
    static const char kLineEnd[] = "\r\n";
    for (;;) {
        const char* lineFeed = std::strchr(text, '\n');
        if (!lineFeed) {
            Append(text, std::strlen(text));
            return;
        }
        Append(text, static_cast<std::size_t>(lineFeed - text));
        Append(kLineEnd, 2);
        text = lineFeed + 1;
    }
}

void CsvOutput::EndRow() {
    Append("\r\n", 2);
    Flush();
}

namespace {

// Counters stop at their largest value instead of overflowing.
void CountOne(std::int32_t& counter) {
    if (counter < std::numeric_limits<std::int32_t>::max()) ++counter;
}

// A coordinate is written as captured; only a comma or line break in it gets the
// double quotes that keep the row one record (it cannot hold a double quote).
void WriteCoordinate(CsvOutput& output, const char* value) {
    if (std::strpbrk(value, ",\n")) {
        output.Write("\"");
        output.Write(value);
        output.Write("\"");
    } else {
        output.Write(value);
    }
}

}  // namespace

ConversionCounts ConvertWaypoints(GpxInput& input, CsvOutput& output, WaypointFields& fields, TagBuffer& tag) {
    ConversionCounts counts;
    while (ReadNextWaypoint(input, fields, tag)) {
        bool dropped = false;
        if (!HasName(fields)) {
            CountOne(counts.skippedNoName);
            dropped = true;
        }
        if (!HasPosition(fields)) {
            CountOne(counts.skippedNoPosition);
            dropped = true;
        }
        if (dropped) continue;

        // The name field is written before CsvField is called again: both results may
        // lie in the same QuotedFieldBuffer.
        const char* nameField = CsvField(fields.name);
        WriteCoordinate(output, fields.lon);
        output.Write(",");
        WriteCoordinate(output, fields.lat);
        output.Write(",");
        output.Write(nameField);
        char* note = fields.desc[0] != '\0' ? fields.desc : fields.cmt[0] != '\0' ? fields.cmt : nullptr;
        if (note) {
            output.Write(",");
            output.Write(CsvField(note));
        }
        output.EndRow();
        CountOne(counts.converted);
    }
    return counts;
}

namespace {

// Appends to a zero-terminated text in a fixed buffer; never writes past it.
class SummaryWriter {
public:
    SummaryWriter(char* buffer, std::size_t capacity) : buffer_(buffer), capacity_(capacity) { buffer_[0] = '\0'; }

    SummaryWriter& Text(const char* text) {
        while (*text && used_ + 1 < capacity_) buffer_[used_++] = *text++;
        buffer_[used_] = '\0';
        return *this;
    }
    SummaryWriter& Number(std::int32_t value) {
        char digits[12];
        int count = 0;
        std::uint32_t rest = value < 0 ? 0u : static_cast<std::uint32_t>(value);
        do {
            digits[count++] = static_cast<char>('0' + rest % 10);
            rest /= 10;
        } while (rest > 0);
        char text[12];
        for (int i = 0; i < count; ++i) text[i] = digits[count - 1 - i];
        text[count] = '\0';
        return Text(text);
    }
    SummaryWriter& LineEnd() { return Text("\n"); }

private:
    char* buffer_;
    std::size_t capacity_;
    std::size_t used_ = 0;
};

}  // namespace

void BuildSummary(const ConversionCounts& counts, TagBuffer& tag) {
    SummaryWriter summary(tag.text, sizeof tag.text);
    summary.Number(counts.converted).Text(" waypoints converted.").LineEnd();
    if (counts.skippedNoName > 0) {
        summary.Number(counts.skippedNoName).Text(" waypoints skipped: missing name.").LineEnd();
    }
    if (counts.skippedNoPosition > 0) {
        summary.Number(counts.skippedNoPosition).Text(" waypoints skipped: missing latitude or longitude.").LineEnd();
    }
    summary.LineEnd().Text(CreditText);
}

}  // namespace wayfold
