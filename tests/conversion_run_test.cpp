// Whole runs: GPX text in, exact CSV bytes and summary out.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "test_support.h"

namespace wayfold::test {
namespace {

std::string Summary(const std::string& lines) { return lines + "\n" + CreditText; }

struct RunCase {
    const char* what;
    std::string gpx;
    std::string csv;
    std::string summary;
};

TEST(ConvertWaypoints, WritesExactRowsAndSummary) {
    const RunCase cases[] = {
        {"no waypoint", "<gpx><trk><trkpt lat=\"1\" lon=\"2\"/></trk></gpx>", "", Summary("0 waypoints converted.\n")},
        {"one waypoint, three fields", "<wpt lat=\"47.1\" lon=\"8.2\"><name>Hut</name></wpt>", "8.2,47.1,Hut\r\n",
         Summary("1 waypoints converted.\n")},
        {"description wins over comment",
         "<wpt lat=\"1\" lon=\"2\"><name>N</name><cmt>C</cmt><desc>D</desc></wpt>", "2,1,N,D\r\n",
         Summary("1 waypoints converted.\n")},
        {"comment when the description is empty",
         "<wpt lat=\"1\" lon=\"2\"><name>N</name><desc></desc><cmt>C</cmt></wpt>", "2,1,N,C\r\n",
         Summary("1 waypoints converted.\n")},
        {"missing name and position count twice",
         "<wpt lon=\"2\"></wpt><wpt lat=\"1\" lon=\"2\"></wpt><wpt lat=\"\" lon=\"2\"><name>X</name></wpt>", "",
         Summary("0 waypoints converted.\n2 waypoints skipped: missing name.\n"
                 "2 waypoints skipped: missing latitude or longitude.\n")},
        {"decoded and quoted fields",
         "<wpt lat=\"1\" lon=\"2\"><name>A &amp; B, &quot;C&quot;</name><desc>x &lt; y</desc></wpt>",
         "2,1,\"A & B, 'C'\",x < y\r\n", Summary("1 waypoints converted.\n")},
        {"two quoted fields in one row",
         "<wpt lat=\"1\" lon=\"2\"><name>a,b</name><desc>c,d</desc></wpt>", "2,1,\"a,b\",\"c,d\"\r\n",
         Summary("1 waypoints converted.\n")},
        {"a line break keeps the row one quoted record with CR LF inside",
         "<wpt lat=\"1\" lon=\"2\"><name>N</name><desc>line one\r\nline two</desc></wpt>",
         "2,1,N,\"line one\r\nline two\"\r\n", Summary("1 waypoints converted.\n")},
        {"coordinates raw, quoted only for a comma or line break",
         "<wpt lat=\"4,5\" lon=\"x\ny\"><name>N</name></wpt><wpt lat=\" 1 \" lon=\"&amp;\"><name>M</name></wpt>",
         "\"x\r\ny\",\"4,5\",N\r\n&amp;, 1 ,M\r\n", Summary("2 waypoints converted.\n")},
        {"waypoint cut off at the end of the input", "<wpt lat=\"1\" lon=\"2\"><name>Last", "2,1,Last\r\n",
         Summary("1 waypoints converted.\n")},
        {"rows in input order, dropped ones in between",
         "<wpt lat=\"1\" lon=\"1\"><name>a</name></wpt><wpt lat=\"2\"><name>b</name></wpt>"
         "<wpt lat=\"3\" lon=\"3\"><name>c</name></wpt>",
         "1,1,a\r\n3,3,c\r\n", Summary("2 waypoints converted.\n1 waypoints skipped: missing latitude or longitude.\n")},
    };
    for (const RunCase& c : cases) {
        RunResult run = Convert(c.gpx);
        EXPECT_EQ(run.csv, c.csv) << c.what;
        EXPECT_EQ(run.summary, c.summary) << c.what;
    }
}

TEST(ConvertWaypoints, EachRowIsOneWrite) {
    std::string gpx = "<wpt lat=\"1\" lon=\"2\"><name>a</name></wpt><wpt lat=\"3\" lon=\"4\"><name>b</name></wpt>";
    MemoryByteSource source(gpx.data(), gpx.size());
    char block[64];
    GpxInput input(source, block, sizeof block);
    StringSink sink;
    CsvOutput output(sink);
    WaypointFields fields;
    TagBuffer tag;
    ConvertWaypoints(input, output, fields, tag);
    EXPECT_EQ(sink.writes, 2);
    EXPECT_FALSE(output.failed());
}

TEST(ConvertWaypoints, AFailedWriteStaysVisibleAndTheRunStillCounts) {
    std::string gpx;
    for (int i = 0; i < 3; ++i) gpx += "<wpt lat=\"1\" lon=\"2\"><name>n</name></wpt>";
    MemoryByteSource source(gpx.data(), gpx.size());
    char block[64];
    GpxInput input(source, block, sizeof block);
    StringSink sink;
    sink.failFromWrite = 2;
    CsvOutput output(sink);
    WaypointFields fields;
    TagBuffer tag;
    ConversionCounts counts = ConvertWaypoints(input, output, fields, tag);
    EXPECT_EQ(counts.converted, 3);
    EXPECT_TRUE(output.failed());
    EXPECT_EQ(sink.bytes, "2,1,n\r\n");
    EXPECT_EQ(sink.writes, 2);  // nothing more is tried after the failure
}

TEST(ConvertWaypoints, LongestRowIsWrittenWhole) {
    std::string breaks(1023, '\n');
    std::string gpx = "<wpt lat=\"" + std::string(49, '1') + "\" lon=\"" + std::string(49, '2') + "\"><name>" + breaks +
                      "</name><desc>" + breaks + "</desc></wpt>";
    MemoryByteSource source(gpx.data(), gpx.size());
    char block[4096];
    GpxInput input(source, block, sizeof block);
    StringSink sink;
    CsvOutput output(sink);
    WaypointFields fields;
    TagBuffer tag;
    ConvertWaypoints(input, output, fields, tag);
    std::string field = "\"" + std::string(1023 * 2, ' ') + "\"";
    for (std::size_t i = 1; i < field.size() - 1; i += 2) field.replace(i, 2, "\r\n");
    EXPECT_EQ(sink.bytes, std::string(49, '2') + "," + std::string(49, '1') + "," + field + "," + field + "\r\n");
    EXPECT_EQ(sink.writes, 1);
}

TEST(BuildSummary, LargestCountsFitTheBuffer) {
    ConversionCounts counts;
    counts.converted = counts.skippedNoName = counts.skippedNoPosition = std::numeric_limits<std::int32_t>::max();
    TagBuffer tag;
    std::memset(tag.text, 'x', sizeof tag.text);
    BuildSummary(counts, tag);
    EXPECT_EQ(std::string(tag.text),
              Summary("2147483647 waypoints converted.\n2147483647 waypoints skipped: missing name.\n"
                      "2147483647 waypoints skipped: missing latitude or longitude.\n"));
}

TEST(BuildSummary, CreditTextIsTwoLinesWithoutALineEnd) {
    std::string credit = CreditText;
    ASSERT_EQ(std::count(credit.begin(), credit.end(), '\n'), 1);
    EXPECT_EQ(credit.rfind("wayfold", 0), 0u);
    EXPECT_NE(credit.back(), '\n');
}

}  // namespace
}  // namespace wayfold::test
