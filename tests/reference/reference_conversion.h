// A second, deliberately plain implementation of the conversion: one character at a time
// over a string, every rule written out as it reads. It is slow and allocates freely; the
// real core is compared with it on many inputs, so that no speed-up can change a result.
#pragma once

#include <string>

namespace wayfold::reference {

struct Conversion {
    std::string csv;
    int converted = 0;
    int skippedNoName = 0;
    int skippedNoPosition = 0;
};

Conversion Convert(const std::string& gpxBytes);

// The CSV text of one captured field (decoding, then quoting).
std::string CsvFieldOf(std::string text);

}  // namespace wayfold::reference
