#include "reference_conversion.h"

namespace wayfold::reference {
namespace {

// The bytes as the scanner sees them: nothing from the first 0x1A on, no CR anywhere.
std::string ApplyInputRules(const std::string& bytes) {
    std::string text;
    for (char c : bytes) {
        if (c == '\x1A') break;
        if (c != '\r') text += c;
    }
    return text;
}

// A text up to its first zero byte, as every comparison and copy sees it.
std::string AsCString(const std::string& text) { return text.substr(0, text.find('\0')); }

struct Stream {
    std::string text;
    std::size_t position = 0;
    bool atEnd = false;
    bool failed = false;

    void SkipPast(char delimiter, std::size_t limit) {
        if (atEnd || failed) {
            failed = true;
            return;
        }
        for (std::size_t taken = 0; taken < limit; ++taken) {
            if (position == text.size()) {
                atEnd = true;
                return;
            }
            if (text[position++] == delimiter) return;
        }
    }

    std::string ReadUntil(std::size_t size, char delimiter) {
        std::string stored;
        if (atEnd || failed) {
            failed = true;
            return stored;
        }
        while (stored.size() < size - 1) {
            if (position == text.size()) {
                atEnd = true;
                if (stored.empty()) failed = true;
                break;
            }
            char c = text[position++];
            if (c == delimiter) break;
            stored += c;
        }
        return stored;
    }
};

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerCase(std::string text) {
    for (char& c : text) c = Lower(c);
    return text;
}

std::string Attribute(const std::string& name, const std::string& tag) {
    std::size_t found = tag.find(name);
    if (found == std::string::npos) return "";
    std::size_t quote = tag.find('"', found);
    if (quote == std::string::npos) return "";
    std::string value = tag.substr(quote + 1, 49);
    return value.substr(0, value.find('"'));
}

struct Waypoint {
    std::string lat, lon, name, desc, cmt;
};

bool ReadWaypoint(Stream& input, Waypoint& w) {
    std::string tag;
    for (;;) {
        input.SkipPast('<', 9999);
        if (input.failed) return false;
        tag = AsCString(input.ReadUntil(1024, '>'));
        if (tag.size() >= 4 && LowerCase(tag.substr(0, 3)) == "wpt" && tag[3] == ' ') break;
    }
    w.lat = Attribute("lat", tag);
    w.lon = Attribute("lon", tag);
    w.name = w.desc = w.cmt = "";
    for (;;) {
        input.SkipPast('<', 9999);
        if (input.failed) return true;
        tag = LowerCase(AsCString(input.ReadUntil(1024, '>')));
        if (tag == "/wpt") return true;
        std::string* field = tag == "name" ? &w.name : tag == "desc" ? &w.desc : tag == "cmt" ? &w.cmt : nullptr;
        if (field) *field = AsCString(input.ReadUntil(1024, '<'));
    }
}

const struct {
    const char* entity;
    char character;
} kEntities[] = {{"&amp;", '&'}, {"&apos;", '\''}, {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}};

bool NeedsQuotes(const std::string& text) { return text.find_first_of(",\n") != std::string::npos; }

// Every LF of a written text reaches the file as CR LF.
std::string Written(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string Coordinate(const std::string& value) { return NeedsQuotes(value) ? "\"" + value + "\"" : value; }

}  // namespace

std::string CsvFieldOf(std::string text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        for (const auto& row : kEntities) {
            std::string entity = row.entity;
            if (text.compare(i, entity.size(), entity) == 0) {
                text[i] = row.character;
                text.erase(i + 1, entity.size() - 1);
                break;
            }
        }
    }
    if (!NeedsQuotes(text)) return text;
    for (char& c : text) {
        if (c == '"') c = '\'';
    }
    return "\"" + text + "\"";
}

Conversion Convert(const std::string& gpxBytes) {
    Stream input{ApplyInputRules(gpxBytes)};
    Conversion result;
    Waypoint w;
    while (ReadWaypoint(input, w)) {
        bool dropped = false;
        if (w.name.empty()) {
            ++result.skippedNoName;
            dropped = true;
        }
        if (w.lat.empty() || w.lon.empty()) {
            ++result.skippedNoPosition;
            dropped = true;
        }
        if (dropped) continue;
        std::string row = Coordinate(w.lon) + "," + Coordinate(w.lat) + "," + CsvFieldOf(w.name);
        if (!w.desc.empty()) {
            row += "," + CsvFieldOf(w.desc);
        } else if (!w.cmt.empty()) {
            row += "," + CsvFieldOf(w.cmt);
        }
        result.csv += Written(row) + "\r\n";
        ++result.converted;
    }
    return result;
}

}  // namespace wayfold::reference
