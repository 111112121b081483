// The real core against the plain reference implementation: generated adversarial inputs
// and, when present beside the project, the real-world GPX corpus. Same bytes, same counts,
// whatever the block and read sizes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "csv_field.h"
#include "reference/reference_conversion.h"
#include "test_support.h"

namespace wayfold::test {
namespace {

void ExpectSameAsReference(const std::string& gpx, std::size_t blockSize, std::size_t chunk, const std::string& what) {
    reference::Conversion expected = reference::Convert(gpx);
    RunResult actual = Convert(gpx, blockSize, chunk);
    EXPECT_EQ(actual.csv, expected.csv) << what << " (block " << blockSize << ", chunk " << chunk << ")";
    EXPECT_EQ(actual.counts.converted, expected.converted) << what;
    EXPECT_EQ(actual.counts.skippedNoName, expected.skippedNoName) << what;
    EXPECT_EQ(actual.counts.skippedNoPosition, expected.skippedNoPosition) << what;
}

// A small deterministic generator (the same sequence on every system and compiler).
class Random {
public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    std::size_t Below(std::size_t n) { return static_cast<std::size_t>(Next() % n); }

private:
    std::uint64_t state_;
};

// Pieces that the reader's rules treat specially, and runs that reach its limits.
std::string GeneratedGpx(Random& random) {
    static const std::vector<std::string> pieces = {
        "<wpt lat=\"1\" lon=\"2\">", "<WPT lon=\"-4.5\" lat=\"3\">", "<wpt ", "<wpt>", "<wpt\tlat=\"1\" lon=\"2\">",
        "<wpt lat=\"1\" lon=\"2\"/>", "<wpt lat='1' lon=\"2\">", "<wpt plateau=\"9\" lon=\"2\">", "</wpt>", "</WpT>",
        "</wpt >", "<name>", "</name>", "<NAME>", "<desc>", "</desc>", "<cmt>", "</cmt>", "<gpx:name>",
        "<name x=\"1\">", "<name/>", "<!-- ", " -->", "<![CDATA[", "]]>", "<?xml version=\"1.0\"?>", "&amp;", "&lt;",
        "&gt;", "&quot;", "&apos;", "&amp;lt;", "&AMP;", "&#44;", "&", ",", "\"", "'", "\n", "\r\n", "\r", " ", "\t",
        "<", ">", "lat=\"", "lon=\"", "Hut", "A, B", std::string(1, '\0'), "\xFF", "<trkpt lat=\"5\" lon=\"6\">",
    };
    std::string gpx;
    std::size_t count = 1 + random.Below(40);
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t pick = random.Below(pieces.size() + 4);
        if (pick < pieces.size()) {
            gpx += pieces[pick];
        } else if (pick == pieces.size()) {
            gpx += std::string(1015 + random.Below(20), 'x');  // around the 1023-character cut
        } else if (pick == pieces.size() + 1) {
            gpx += std::string(9990 + random.Below(20), 'y');  // around the 9999-character skip
        } else if (pick == pieces.size() + 2) {
            gpx += "<wpt lon=\"2\" lat=\"" + std::string(40 + random.Below(20), '7') + "\">";  // around the 49-character value
        } else if (random.Below(8) == 0) {
            gpx += '\x1A';
        }
    }
    return gpx;
}

TEST(Differential, GeneratedInputsGiveTheReferenceResult) {
    const std::size_t blockSizes[] = {1, 2, 3, 7, 64, 1000, 4096, 65536};
    const std::size_t chunks[] = {1, 5, 4093, static_cast<std::size_t>(-1)};
    Random random(20261211);
    for (int i = 0; i < 3000; ++i) {
        std::string gpx = GeneratedGpx(random);
        ExpectSameAsReference(gpx, blockSizes[random.Below(8)], chunks[random.Below(4)], "generated input " + std::to_string(i));
        if (HasFailure()) return;  // one well-described failure is enough
    }
}

TEST(Differential, CorpusFilesGiveTheReferenceResult) {
    namespace fs = std::filesystem;
    fs::path corpus = WAYFOLD_CORPUS_DIR;
    if (!fs::is_directory(corpus)) GTEST_SKIP() << "no GPX corpus at " << corpus;
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
        if (entry.path().extension() != ".gpx") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        ExpectSameAsReference(bytes.str(), 4096, static_cast<std::size_t>(-1), entry.path().filename().string());
        ExpectSameAsReference(bytes.str(), 7, 3, entry.path().filename().string());
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(Differential, CsvFieldMatchesTheReference) {
    const char* texts[] = {"&amp;lt;", "&&amp;", "a,b \"c\"", "x\ny", "&quot;,&quot;", "&lt;&gt;&apos;", "plain"};
    for (const char* text : texts) {
        char buffer[1024];
        std::snprintf(buffer, sizeof buffer, "%s", text);
        EXPECT_EQ(std::string(CsvField(buffer)), reference::CsvFieldOf(text)) << text;
    }
}

}  // namespace
}  // namespace wayfold::test
