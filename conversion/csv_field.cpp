#include "csv_field.h"

#include <cstring>

namespace wayfold {

const EntityRow EntityTable[] = {
    {"&amp;", '&', 4},
    {"&apos;", '\'', 5},
    {"&quot;", '"', 5},
    {"&lt;", '<', 3},
    {"&gt;", '>', 3},
    {"", 0, 0},
};

char QuotedFieldBuffer[kQuotedFieldCapacity];

namespace {

// The entity row whose text begins at `at`, or nullptr.
const EntityRow* EntityAt(const char* at) {
    for (const EntityRow* row = EntityTable; row->entityText[0] != '\0'; ++row) {
        if (std::strncmp(at, row->entityText, static_cast<std::size_t>(row->skipLength) + 1) == 0) return row;
    }
    return nullptr;
}

// Decodes in place in one forward pass: each entity text becomes its character and the
// rest moves left. A decoded character is never looked at again, so "&amp;lt;" gives "&lt;".
// Returns the new end of the text.
char* DecodeEntities(char* text, char* end) {
    char* read = static_cast<char*>(std::memchr(text, '&', static_cast<std::size_t>(end - text)));
    if (!read) return end;
    char* write = read;
    while (read < end) {
        if (const EntityRow* row = EntityAt(read)) {
            *write++ = row->character;
            read += row->skipLength + 1;
            continue;
        }
        char* next = static_cast<char*>(std::memchr(read + 1, '&', static_cast<std::size_t>(end - read - 1)));
        if (!next) next = end;
        std::memmove(write, read, static_cast<std::size_t>(next - read));
        write += next - read;
        read = next;
    }
    *write = '\0';
    return write;
}

bool NeedsQuoting(const char* text, const char* end) {
    for (; text < end; ++text) {
        if (*text == ',' || *text == '\n') return true;
    }
    return false;
}

}  // namespace

char* CsvField(char* text) {
    char* end = DecodeEntities(text, text + std::strlen(text));
    if (!NeedsQuoting(text, end)) return text;

    for (char* c = text; c < end; ++c) {
        if (*c == '"') *c = '\'';
    }
    std::size_t length = static_cast<std::size_t>(end - text);
    QuotedFieldBuffer[0] = '"';
    std::memcpy(QuotedFieldBuffer + 1, text, length);
    QuotedFieldBuffer[length + 1] = '"';
    QuotedFieldBuffer[length + 2] = '\0';
    return QuotedFieldBuffer;
}

}  // namespace wayfold
