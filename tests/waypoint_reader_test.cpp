// The reader's rules, as tables of GPX text and the waypoints it yields. Every case is
// read through many block and chunk sizes, so that each rule also holds across every
// buffer boundary.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "test_support.h"

namespace wayfold::test {
namespace {

using W = ReadWaypoint;
using namespace std::string_literals;

struct ReaderCase {
    const char* what;
    std::string gpx;
    std::vector<W> expected;
};

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

const std::string kPoint = "<wpt lat=\"1\" lon=\"2\">";

std::vector<ReaderCase> ReaderCases() {
    return {
        {"empty input", "", {}},
        {"text without any tag", "no tags here\n", {}},
        {"full waypoint",
         "<?xml version=\"1.0\"?><gpx><wpt lat=\"47.5\" lon=\"8.25\"><ele>3</ele><name>A</name>"
         "<cmt>C</cmt><desc>D</desc></wpt></gpx>",
         {{"47.5", "8.25", "A", "D", "C"}}},
        {"fields start empty for every waypoint",
         kPoint + "<name>A</name><desc>D</desc></wpt><wpt lat=\"3\" lon=\"4\"><cmt>C</cmt></wpt>",
         {{"1", "2", "A", "D", ""}, {"3", "4", "", "", "C"}}},
        {"start tag without attributes is not a waypoint", "<wpt><name>A</name></wpt>", {}},
        {"tab after the element name", "<wpt\tlat=\"1\" lon=\"2\"><name>A</name></wpt>", {}},
        {"line break after the element name", "<wpt\nlat=\"1\" lon=\"2\"><name>A</name></wpt>", {}},
        {"a CR after the element name vanishes before the scan",
         "<wpt\r lat=\"1\" lon=\"2\"><name>A</name></wpt>", {{"1", "2", "A", "", ""}}},
        {"element names in any letter case",
         "<WPT lat=\"1\" lon=\"2\"><NAME>A</NAME><Desc>d</Desc><cMT>c</cMT></WpT><wpt lat=\"5\" lon=\"6\"></wpt>",
         {{"1", "2", "A", "d", "c"}, {"5", "6", "", "", ""}}},
        {"attribute names are case-sensitive", "<wpt LAT=\"1\" lon=\"2\"></wpt>", {{"", "2", "", "", ""}}},
        {"empty-element waypoint runs on to the next end tag",
         "<wpt lat=\"1\" lon=\"2\"/><wpt lat=\"3\" lon=\"4\"><name>B</name></wpt>"
         "<wpt lat=\"5\" lon=\"6\"><name>C</name></wpt>",
         {{"1", "2", "B", "", ""}, {"5", "6", "C", "", ""}}},
        {"waypoint cut off by the end of the input", kPoint + "<name>A</name><desc>D", {{"1", "2", "A", "D", ""}}},
        {"input ends inside the start tag", "<wpt lat=\"1\" lon=\"2\"", {{"1", "2", "", "", ""}}},
        {"input ends right after the start tag", kPoint, {{"1", "2", "", "", ""}}},
        {"end tag with a blank does not end the waypoint",
         kPoint + "<name>A</name></wpt ><wpt lat=\"3\" lon=\"4\"><name>B</name></wpt>", {{"1", "2", "B", "", ""}}},
        {"name tags with attribute, prefix or empty-element form are ignored",
         kPoint + "<name>A</name><name x=\"1\">B</name><gpx:name>C</gpx:name><name/><name >D</name></wpt>",
         {{"1", "2", "A", "", ""}}},
        {"tags that only begin like the ones read are passed over",
         kPoint + "<n>X</n><names>Y</names><dd>Z</dd><c x=\"1\">W</c></w></wp></wptx></><name>A</name></wpt>",
         {{"1", "2", "A", "", ""}}},
        {"the last element wins, an empty one too",
         kPoint + "<name>A</name><name>B</name><desc>D</desc><desc></desc></wpt>", {{"1", "2", "B", "", ""}}},
        {"text up to nested markup; CDATA gives an empty text",
         kPoint + "<name>A<b>B</b>C</name><desc><![CDATA[x]]></desc></wpt>", {{"1", "2", "A", "", ""}}},
        {"line breaks kept as LF, blanks kept", kPoint + "<name> A\r\nB \r</name></wpt>", {{"1", "2", " A\nB ", "", ""}}},
        {"element texts count at any depth",
         kPoint + "<extensions><x><cmt>E</cmt></x></extensions></wpt>", {{"1", "2", "", "", "E"}}},
        {"names and end tags outside a waypoint are passed over",
         "<name>N</name></wpt>" + kPoint + "</wpt><name>M</name>", {{"1", "2", "", "", ""}}},
        {"route and track points are passed over",
         "<rte><rtept lat=\"1\" lon=\"2\"><name>R</name></rtept></rte><trkpt lat=\"1\" lon=\"2\"><name>T</name></trkpt>",
         {}},
        {"waypoint start tag inside a comment, no '>' before it",
         "<!-- <wpt lat=\"1\" lon=\"2\"><name>C</name></wpt> -->", {}},
        {"waypoint start tag inside a comment after a '>'",
         "<!-- x > <wpt lat=\"1\" lon=\"2\"><name>C</name></wpt> -->", {{"1", "2", "C", "", ""}}},
        {"single-quoted lat takes the next double-quoted value", "<wpt lat='1' lon=\"2\"></wpt>",
         {{"2", "2", "", "", ""}}},
        {"single-quoted values only", "<wpt lat='1' lon='2'></wpt>", {{"", "", "", "", ""}}},
        {"first occurrence wins, inside another attribute's name", "<wpt plateau=\"9\" lat=\"1\" lon=\"2\"></wpt>",
         {{"9", "2", "", "", ""}}},
        {"blanks around '=' and inside quotes", "<wpt lat = \"1\" lon= \" 2 \"></wpt>", {{"1", " 2 ", "", "", ""}}},
        {"value without closing quote runs to the end of the tag", "<wpt lon=\"2\" lat=\"1.5></wpt>",
         {{"1.5", "2", "", "", ""}}},
        {"'>' inside a value ends the tag", "<wpt lat=\"1>2\" lon=\"3\"></wpt>", {{"1", "", "", "", ""}}},
        {"long value cut to 49 characters",
         "<wpt lat=\"" + Repeat('7', 60) + "\" lon=\"2\"></wpt>", {{Repeat('7', 49), "2", "", "", ""}}},
        {"element text cut to 1023 characters, the rest passed over",
         kPoint + "<name>" + Repeat('n', 1100) + "</name><desc>D</desc></wpt>", {{"1", "2", Repeat('n', 1023), "D", ""}}},
        {"element text of exactly 1023 characters",
         kPoint + "<name>" + Repeat('n', 1023) + "</name></wpt>", {{"1", "2", Repeat('n', 1023), "", ""}}},
        {"tag text cut to 1023 characters hides later attributes",
         "<wpt " + Repeat(' ', 1100) + "lat=\"1\" lon=\"2\"><name>A</name></wpt>", {{"", "", "A", "", ""}}},
        {"'<wpt' within the first 1023 characters of another tag is part of that tag",
         "<x" + Repeat(' ', 1020) + kPoint + "<name>A</name></wpt>", {}},
        {"'<wpt' after the first 1023 characters of another tag starts a waypoint",
         "<x" + Repeat(' ', 1022) + kPoint + "<name>A</name></wpt>", {{"1", "2", "A", "", ""}}},
        {"9999 characters without '<': the skip gives up and reads on from there",
         kPoint + "<desc>" + Repeat('a', 1023) + Repeat('b', 9999) + "name>Z</name></wpt>",
         {{"1", "2", "Z", Repeat('a', 1023), ""}}},
        {"9998 characters without '<': the skip takes one more",
         kPoint + "<desc>" + Repeat('a', 1023) + Repeat('b', 9998) + "name>Z</name></wpt>",
         {{"1", "2", "", Repeat('a', 1023), ""}}},
        {"UTF-16 text yields nothing",
         "<\0w\0p\0t\0 \0l\0a\0t\0=\0\"\0001\0\"\0 \0l\0o\0n\0=\0\"\0002\0\"\0>\0<\0/\0w\0p\0t\0>\0"s, {}},
        {"0x1A ends the input",
         kPoint + "<name>A</name></wpt>\x1A<wpt lat=\"3\" lon=\"4\"><name>B</name></wpt>", {{"1", "2", "A", "", ""}}},
        {"0x1A inside a waypoint ends it", kPoint + "<name>A\x1A</name></wpt>", {{"1", "2", "A", "", ""}}},
        {"0xFF is an ordinary byte", "\xFF" + kPoint + "<name>\xFF" "A</name></wpt>", {{"1", "2", "\xFF" "A", "", ""}}},
        {"a zero byte ends a text", kPoint + "<name>A\0B</name></wpt>"s, {{"1", "2", "A", "", ""}}},
        {"a zero byte ends a tag for the comparison", kPoint + "<name\0x>A</name></wpt>"s, {{"1", "2", "A", "", ""}}},
        {"empty attribute value", "<wpt lat=\"\" lon=\"2\"><name>A</name></wpt>", {{"", "2", "A", "", ""}}},
    };
}

TEST(WaypointReader, FollowsTheScannerRulesAcrossEveryBufferBoundary) {
    const std::size_t blockSizes[] = {1, 2, 3, 5, 64, 1024, 65536};
    const std::size_t chunks[] = {1, 7, static_cast<std::size_t>(-1)};
    for (const ReaderCase& c : ReaderCases()) {
        for (std::size_t blockSize : blockSizes) {
            for (std::size_t chunk : chunks) {
                EXPECT_EQ(ReadAll(c.gpx, blockSize, chunk), c.expected)
                    << c.what << " (block " << blockSize << ", chunk " << chunk << ")";
            }
        }
    }
}

TEST(WaypointReader, CrAnywhereIsRemovedAndAnEndOfFileByteStopsReading) {
    // A CR before every byte, including inside tag names and values.
    std::string plain = kPoint + "<name>A B</name><desc>x\ny</desc></wpt>";
    std::string withCr;
    for (char c : plain) withCr += "\r"s + c;
    EXPECT_EQ(ReadAll(withCr + "\r", 3), ReadAll(plain));
    EXPECT_EQ(ReadAll(plain).size(), 1u);
}

TEST(WaypointReader, AfterTheLastWaypointEveryCallReturnsFalseAndLeavesTheFields) {
    std::string gpx = kPoint + "<name>A</name></wpt>";
    MemoryByteSource source(gpx.data(), gpx.size());
    char block[16];
    GpxInput input(source, block, sizeof block);
    WaypointFields fields;
    TagBuffer tag;
    ASSERT_TRUE(ReadNextWaypoint(input, fields, tag));
    EXPECT_FALSE(ReadNextWaypoint(input, fields, tag));
    EXPECT_FALSE(ReadNextWaypoint(input, fields, tag));
    EXPECT_STREQ(fields.name, "A");
    EXPECT_TRUE(input.failed());
}

TEST(WaypointReader, HasNameAndHasPosition) {
    WaypointFields f{};
    EXPECT_FALSE(HasName(f));
    EXPECT_FALSE(HasPosition(f));
    std::snprintf(f.name, sizeof f.name, " ");
    std::snprintf(f.lat, sizeof f.lat, "x");
    EXPECT_TRUE(HasName(f));
    EXPECT_FALSE(HasPosition(f));
    std::snprintf(f.lon, sizeof f.lon, "y");
    EXPECT_TRUE(HasPosition(f));
}

TEST(GetAttribute, FindsTheFirstOccurrenceAndTheTextBetweenQuotes) {
    struct Case {
        const char* name;
        const char* tag;
        std::size_t outSize;
        const char* expected;
    } cases[] = {
        {"lat", "wpt lat=\"1.5\" lon=\"2\"", 50, "1.5"},
        {"lon", "wpt lat=\"1.5\" lon=\"2\"", 50, "2"},
        {"lat", "wpt lon=\"2\"", 50, ""},
        {"lat", "wpt lat=1", 50, ""},
        {"lat", "wpt lat=\"", 50, ""},
        {"lat", "wpt lat=\"abc", 50, "abc"},
        {"lat", "wpt lat=\"abcdef\"", 4, "abc"},
        {"lat", "wpt lat=\"ab\"", 3, "ab"},
        {"lat", "wpt relation=\"3\" lat=\"1\"", 50, "3"},
        {"lat", "wpt x=\"lat\" lat=\"1\"", 50, " lat="},
        {"lat", "", 50, ""},
    };
    for (const Case& c : cases) {
        char out[64];
        std::snprintf(out, sizeof out, "garbage");
        GetAttribute(c.name, c.tag, out, c.outSize);
        EXPECT_STREQ(out, c.expected) << c.name << " in " << c.tag;
    }
}

// The two read primitives at their limits, and the stream's two conditions.
TEST(GpxInput, ReadUntilStopsAtTheDelimiterOrAFullBuffer) {
    std::string text = "abc>def>";
    MemoryByteSource source(text.data(), text.size());
    char block[3];
    GpxInput input(source, block, sizeof block);
    char buffer[4];
    input.ReadUntil(buffer, sizeof buffer, '>');  // exactly full: the '>' stays unread
    EXPECT_STREQ(buffer, "abc");
    input.ReadUntil(buffer, sizeof buffer, '>');  // delimiter at once: empty, no condition
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(input.atEnd() || input.failed());
    input.ReadUntil(buffer, sizeof buffer, '>');
    EXPECT_STREQ(buffer, "def");
    input.ReadUntil(buffer, sizeof buffer, '>');
    EXPECT_STREQ(buffer, "");
    EXPECT_FALSE(input.atEnd());  // the full buffer did not look at the '>'
    input.ReadUntil(buffer, sizeof buffer, '>');  // nothing stored before the end
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(input.atEnd());
    EXPECT_TRUE(input.failed());
}

TEST(GpxInput, ReadUntilThatStoredSomethingSetsOnlyAtEnd) {
    std::string text = "ab";
    MemoryByteSource source(text.data(), text.size());
    char block[8];
    GpxInput input(source, block, sizeof block);
    char buffer[8];
    input.ReadUntil(buffer, sizeof buffer, '>');
    EXPECT_STREQ(buffer, "ab");
    EXPECT_TRUE(input.atEnd());
    EXPECT_FALSE(input.failed());
    std::snprintf(buffer, sizeof buffer, "x");
    input.ReadUntil(buffer, sizeof buffer, '>');
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(input.failed());
}

TEST(GpxInput, SkipPastGivesUpAfterItsLimitWithoutACondition) {
    std::string text = "abcd";
    MemoryByteSource source(text.data(), text.size());
    char block[2];
    GpxInput input(source, block, sizeof block);
    input.SkipPast('<', 4);  // consumes all four, meets the end only on the next take
    EXPECT_FALSE(input.atEnd() || input.failed());
    input.SkipPast('<', 4);
    EXPECT_TRUE(input.atEnd());
    EXPECT_FALSE(input.failed());
    input.SkipPast('<', 4);
    EXPECT_TRUE(input.failed());
}

TEST(GpxInput, SkipPastConsumesTheDelimiter) {
    std::string text = "ab<c";
    MemoryByteSource source(text.data(), text.size(), 1);
    char block[1];
    GpxInput input(source, block, sizeof block);
    input.SkipPast('<', 3);
    char buffer[8];
    input.ReadUntil(buffer, sizeof buffer, '>');
    EXPECT_STREQ(buffer, "c");
}

class FailingSource final : public ByteSource {
public:
    explicit FailingSource(std::string first) : first_(std::move(first)) {}
    long long Read(char* buffer, std::size_t size) override {
        ++reads;
        if (reads > 1) return -1;
        std::size_t n = first_.size() < size ? first_.size() : size;
        std::memcpy(buffer, first_.data(), n);
        return static_cast<long long>(n);
    }
    int reads = 0;

private:
    std::string first_;
};

TEST(GpxInput, ReadErrorEndsTheInputAndIsRemembered) {
    FailingSource source(kPoint + "<name>A</name>");
    char block[4096];
    GpxInput input(source, block, sizeof block);
    WaypointFields fields;
    TagBuffer tag;
    ASSERT_TRUE(ReadNextWaypoint(input, fields, tag));
    EXPECT_STREQ(fields.name, "A");
    EXPECT_FALSE(ReadNextWaypoint(input, fields, tag));
    EXPECT_TRUE(input.readError());
    EXPECT_EQ(source.reads, 2);  // the error is not retried
}

// CRs single, paired and in long runs, at every offset of a block and of the 16-byte
// chunks the removal may work in: what remains must be the other bytes, in order.
TEST(GpxInput, EveryCrIsRemovedWhereverItStandsInTheBlock) {
    std::string text;
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        char c = static_cast<char>('a' + i % 26);
        int crs = (i * 7) % 11 == 0 ? 1 : (i * 13) % 17 == 0 ? 2 : i % 401 == 0 ? 40 : 0;
        text += std::string(static_cast<std::size_t>(crs), '\r') + c;
        expected += c;
    }
    text += std::string(33, '\r');
    const std::size_t blockSizes[] = {1, 15, 16, 17, 31, 64, 100, 4096};
    for (std::size_t blockSize : blockSizes) {
        MemoryByteSource source(text.data(), text.size());
        std::vector<char> block(blockSize);
        GpxInput input(source, block.data(), block.size());
        std::vector<char> buffer(text.size() + 1);
        input.ReadUntil(buffer.data(), buffer.size(), '<');
        EXPECT_EQ(std::string(buffer.data()), expected) << "block " << blockSize;
        EXPECT_TRUE(input.atEnd());
    }
}

TEST(GpxInput, NothingAfterTheEndOfFileByteIsRead) {
    std::string text = "ab\x1A" + std::string(100, 'x');
    MemoryByteSource inner(text.data(), text.size(), 3);
    struct CountingSource final : ByteSource {
        explicit CountingSource(ByteSource& s) : source(s) {}
        long long Read(char* b, std::size_t n) override {
            ++reads;
            return source.Read(b, n);
        }
        ByteSource& source;
        int reads = 0;
    } counting(inner);
    char block[64];
    GpxInput input(counting, block, sizeof block);
    char buffer[128];
    input.ReadUntil(buffer, sizeof buffer, '<');
    EXPECT_STREQ(buffer, "ab");
    EXPECT_EQ(counting.reads, 1);
    EXPECT_FALSE(input.readError());
}

}  // namespace
}  // namespace wayfold::test
