// Decoding and quoting of one field, as a table of captured text and CSV field.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "csv_field.h"

namespace wayfold {
namespace {

struct FieldCase {
    std::string captured;
    std::string field;    // what CsvField returns
    std::string decoded;  // what the argument buffer holds afterwards
    bool quoted;
};

TEST(CsvField, DecodesOnceAndQuotesOnlyCommasAndLineBreaks) {
    const FieldCase cases[] = {
        {"Plain name", "Plain name", "Plain name", false},
        {"", "", "", false},
        {"Fish &amp; Chips", "Fish & Chips", "Fish & Chips", false},
        {"&apos;&quot;&lt;&gt;&amp;", "'\"<>&", "'\"<>&", false},
        {"&lt;&lt;&lt;", "<<<", "<<<", false},
        {"&amp;lt;", "&lt;", "&lt;", false},
        {"&amp;amp;", "&amp;", "&amp;", false},
        {"&AMP; &#44; &#x2C; &lt &", "&AMP; &#44; &#x2C; &lt &", "&AMP; &#44; &#x2C; &lt &", false},
        {"a & b &amp c", "a & b &amp c", "a & b &amp c", false},
        {"trailing &", "trailing &", "trailing &", false},
        {"&&amp;", "&&", "&&", false},
        {"He said \"hi\"", "He said \"hi\"", "He said \"hi\"", false},
        {"semi; colon  ", "semi; colon  ", "semi; colon  ", false},
        {"A, B", "\"A, B\"", "A, B", true},
        {"A, \"B\"", "\"A, 'B'\"", "A, 'B'", true},
        {"&quot;Anvil&quot;, top", "\"'Anvil', top\"", "'Anvil', top", true},
        {"one\ntwo", "\"one\ntwo\"", "one\ntwo", true},
        {"say \"x\"\nnext", "\"say 'x'\nnext\"", "say 'x'\nnext", true},
    };
    for (const FieldCase& c : cases) {
        char text[1024];
        std::snprintf(text, sizeof text, "%s", c.captured.c_str());
        char* result = CsvField(text);
        EXPECT_EQ(std::string(result), c.field) << c.captured;
        EXPECT_EQ(std::string(text), c.decoded) << c.captured;
        EXPECT_EQ(result == QuotedFieldBuffer, c.quoted) << c.captured;
        if (!c.quoted) {
            EXPECT_EQ(result, text) << c.captured;
        }
    }
}

TEST(CsvField, LongestFieldFitsTheQuotedBuffer) {
    char text[1024];
    std::memset(text, 'x', 1023);
    text[500] = ',';
    text[1023] = '\0';
    const char* result = CsvField(text);
    ASSERT_EQ(result, QuotedFieldBuffer);
    EXPECT_EQ(std::strlen(result), 1025u);
    EXPECT_EQ(result[0], '"');
    EXPECT_EQ(result[1024], '"');
}

TEST(CsvField, QuotedResultLastsUntilTheNextQuotingCall) {
    char first[] = "a,b";
    char plain[] = "plain";
    char second[] = "c,d";
    const char* result = CsvField(first);
    CsvField(plain);
    EXPECT_STREQ(result, "\"a,b\"");
    CsvField(second);
    EXPECT_STREQ(result, "\"c,d\"");
}

}  // namespace
}  // namespace wayfold
