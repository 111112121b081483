// Turning one captured waypoint text into one CSV field.
#pragma once

#include <cstdint>

namespace wayfold {

struct EntityRow {
    const char* entityText;   // matched byte for byte; empty text ends the table
    char character;           // what takes the entity text's place
    std::int32_t skipLength;  // characters that disappear after it: length - 1
};

extern const EntityRow EntityTable[];

// Longest result: a quote, 1023 characters, a quote, the terminator.
constexpr int kQuotedFieldCapacity = 1026;
extern char QuotedFieldBuffer[kQuotedFieldCapacity];

// Decodes the five XML entity texts of `text` in place, in one pass. When the decoded
// text holds a comma or a line break, turns its double quotes into apostrophes and
// returns it wrapped in double quotes in QuotedFieldBuffer (valid until the next
// quoting call); otherwise returns `text` itself.
char* CsvField(char* text);

}  // namespace wayfold
