// What the window's Convert command and the command-line converter share: the name
// check, the proposed output name, the same-file test and a whole run over two files.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "conversion_run.h"

namespace wayfold {

constexpr std::size_t kNoGpxExtension = static_cast<std::size_t>(-1);

// Where the path holds ".gpx" (first occurrence, anywhere in the path), else where it
// holds ".GPX"; kNoGpxExtension when it holds neither. Other letter cases do not count.
std::size_t FindGpxExtension(const char* path);

// The path with the found occurrence turned into ".csv" and everything after it dropped.
std::string ProposeOutputName(const char* inputPath, std::size_t extensionAt);

// True when both paths name one existing file (a link or another spelling included).
bool IsSameFile(const char* first, const char* second);

// True when `start`, the first bytes of a file, show UTF-16 text: a UTF-16 byte-order
// mark, or a first "<" with a zero byte beside it. The reader takes 8-bit text only and would
// find no waypoint in such a file, so it is refused instead of giving an empty result.
bool LooksLikeUtf16(const char* start, std::size_t size);

struct FileConversionResult {
    ConversionCounts counts;
    bool readFailed = false;   // a read error ended the input early
    int readErrorNumber = 0;   // errno of that error, 0 when unknown
    bool writeFailed = false;  // some output was lost
    int writeErrorNumber = 0;
};

// Converts from an input file opened for binary reading to an output file opened for
// binary writing, leaving the summary in `tag`. Neither file is closed.
FileConversionResult ConvertFile(std::FILE* input, std::FILE* output, WaypointFields& fields, TagBuffer& tag);

}  // namespace wayfold
