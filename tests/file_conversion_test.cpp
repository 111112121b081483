// The name check and proposed output name shared by the window and the command line.
#include <gtest/gtest.h>

#include <string>

#include "file_conversion.h"

namespace wayfold {
namespace {

TEST(OutputName, NameCheckAndProposedName) {
    struct Case {
        const char* input;
        const char* proposed;  // nullptr: not a GPX file
    } cases[] = {
        {"C:\\maps\\trip.gpx", "C:\\maps\\trip.csv"},
        {"C:\\MAPS\\TRIP.GPX", "C:\\MAPS\\TRIP.csv"},
        {"C:\\maps\\trip.gpx.bak", "C:\\maps\\trip.csv"},
        {"C:\\old.gpx\\notes.txt", "C:\\old.csv"},
        {"C:\\a.GPX\\b.gpx", "C:\\a.GPX\\b.csv"},
        {"C:\\x.gpx\\y.gpx", "C:\\x.csv"},
        {"/home/u/trip.gpx", "/home/u/trip.csv"},
        {"trip.Gpx", nullptr},
        {"trip.gPx", nullptr},
        {"trip.csv", nullptr},
        {"gpx", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        std::size_t at = FindGpxExtension(c.input);
        if (!c.proposed) {
            EXPECT_EQ(at, kNoGpxExtension) << c.input;
            continue;
        }
        ASSERT_NE(at, kNoGpxExtension) << c.input;
        EXPECT_EQ(ProposeOutputName(c.input, at), c.proposed) << c.input;
    }
}

TEST(OutputName, Utf16IsToldFromEightBitText) {
    struct Case {
        std::string start;
        bool utf16;
    } cases[] = {
        {std::string("\xFF\xFE<\0", 4), true},
        {std::string("\xFE\xFF\0<", 4), true},
        {std::string("<\0?\0x\0", 6), true},
        {std::string("\0<\0?", 4), true},
        {std::string(" \0\n\0<\0", 6), true},
        {"<?xml version=\"1.0\"?>", false},
        {"\xEF\xBB\xBF<?xml", false},  // UTF-8 with its mark is 8-bit text
        {"", false},
        {"\xFF", false},
        {std::string("\0\0\0\0", 4), false},
        {std::string("<gpx>\0", 6), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LooksLikeUtf16(c.start.data(), c.start.size()), c.utf16) << testing::PrintToString(c.start);
    }
}

}  // namespace
}  // namespace wayfold
