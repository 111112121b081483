#include "waypoint_reader.h"

#include <cstring>

namespace wayfold {
namespace {

constexpr char kTagOpen = '<';
constexpr char kTagClose = '>';
constexpr std::size_t kSkipLimit = 9999;

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whole-text comparison, ASCII letter case ignored; `word` is lower case.
bool EqualsIgnoringCase(const char* text, const char* word) {
    for (; *word; ++text, ++word) {
        if (AsciiLower(*text) != *word) return false;
    }
    return *text == '\0';
}

// A waypoint start tag begins with "wpt" and a blank; a tab or line break does not count.
constexpr std::size_t kWaypointStartLength = 4;
bool IsWaypointStartTag(const char* tag) {
    return AsciiLower(tag[0]) == 'w' && AsciiLower(tag[1]) == 'p' && AsciiLower(tag[2]) == 't' &&
           tag[3] == ' ';
}

// False when a tag starting with these two characters cannot be one of the tags read
// inside a waypoint ("/wpt", "name", "desc", "cmt" in any letter case).
bool MayBeReadInsideWaypoint(const char* ahead) {
    char first = AsciiLower(ahead[0]);
    if (first == '/') return AsciiLower(ahead[1]) == 'w';
    return first == 'n' || first == 'd' || first == 'c';
}

}  // namespace

bool ReadNextWaypoint(GpxInput& input, WaypointFields& fields, TagBuffer& tag) {
    // Searching for a waypoint start tag.
    for (;;) {
        input.SkipPast(kTagOpen, kSkipLimit);
        if (input.failed()) return false;
        // Nearly every tag is something else (track points): when its first characters
        // are in the block already, they decide, and the rest of the tag is skipped where
        // it lies instead of copied. Skipping up to the same '>' or length limit as
        // reading leaves the input in the same place.
        if (const char* ahead = input.Peek(kWaypointStartLength)) {
            if (!IsWaypointStartTag(ahead)) {
                input.SkipPast(kTagClose, sizeof tag.text - 1);
                continue;
            }
        }
        input.ReadUntil(tag.text, sizeof tag.text, kTagClose);
        if (IsWaypointStartTag(tag.text)) break;
    }

    GetAttribute("lat", tag.text, fields.lat, sizeof fields.lat);
    GetAttribute("lon", tag.text, fields.lon, sizeof fields.lon);
    fields.name[0] = fields.desc[0] = fields.cmt[0] = '\0';

    // Inside the waypoint, up to its end tag or the end of the input. An element text
    // goes straight into its field: the same bytes as reading it into the tag buffer
    // and copying it over, without the copy.
    for (;;) {
        input.SkipPast(kTagOpen, kSkipLimit);
        if (input.failed()) return true;
        if (const char* ahead = input.Peek(2)) {
            if (!MayBeReadInsideWaypoint(ahead)) {
                input.SkipPast(kTagClose, sizeof tag.text - 1);  // as above: skipped, not copied
                continue;
            }
        }
        input.ReadUntil(tag.text, sizeof tag.text, kTagClose);
        char* field = nullptr;
        if (EqualsIgnoringCase(tag.text, "/wpt")) return true;
        if (EqualsIgnoringCase(tag.text, "name")) field = fields.name;
        else if (EqualsIgnoringCase(tag.text, "desc")) field = fields.desc;
        else if (EqualsIgnoringCase(tag.text, "cmt")) field = fields.cmt;
        if (field) input.ReadUntil(field, kTextCapacity, kTagOpen);
    }
}

bool HasName(const WaypointFields& fields) { return fields.name[0] != '\0'; }

bool HasPosition(const WaypointFields& fields) {
    return fields.lat[0] != '\0' && fields.lon[0] != '\0';
}

void GetAttribute(const char* attributeName, const char* tagText, char* out, std::size_t outSize) {
    out[0] = '\0';
    const char* found = std::strstr(tagText, attributeName);
    if (!found) return;
    const char* quote = std::strchr(found, '"');
    if (!quote) return;
    const char* value = quote + 1;
    std::size_t length = 0;
    while (length < outSize - 1 && value[length] != '\0' && value[length] != '"') ++length;
    std::memcpy(out, value, length);
    out[length] = '\0';
}

}  // namespace wayfold
