// Waypoint reader: a small tag scanner that pulls the waypoints out of GPX text.
// It is deliberately not an XML parser; the rules below decide exactly which inputs
// convert and how, and they are the same on every system.
#pragma once

#include <cstddef>

#include "gpx_input.h"

namespace wayfold {

constexpr std::size_t kCoordinateCapacity = 50;   // lat, lon: 49 characters + terminator
constexpr std::size_t kTextCapacity = 1024;       // name, desc, cmt, tag: 1023 + terminator

// The waypoint being read, as raw zero-terminated texts (not trimmed, not decoded).
struct WaypointFields {
    char lat[kCoordinateCapacity];
    char lon[kCoordinateCapacity];
    char name[kTextCapacity];
    char desc[kTextCapacity];
    char cmt[kTextCapacity];
};

// Working text of one run: the tag read last, later the summary.
struct TagBuffer {
    char text[kTextCapacity];
};

// Reads the next waypoint into `fields`. False when the input holds no further
// waypoint start tag; `fields` are then unchanged.
bool ReadNextWaypoint(GpxInput& input, WaypointFields& fields, TagBuffer& tag);

bool HasName(const WaypointFields& fields);
bool HasPosition(const WaypointFields& fields);

// Writes the value of the first occurrence of `attributeName` in `tagText` into `out`:
// the text after the next double quote, up to the following double quote, the end of
// the tag text, or outSize - 1 characters. Empty when there is no such value.
void GetAttribute(const char* attributeName, const char* tagText, char* out, std::size_t outSize);

}  // namespace wayfold
