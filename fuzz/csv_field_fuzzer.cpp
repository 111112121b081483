// Fuzzes CsvField on any field text (up to the 1023 characters a field can hold) and
// compares it with a plain, slow reading of the same rules:
//   - the five entity texts decode once, left to right;
//   - the result is quoted iff the decoded text holds a comma or a line break;
//   - a quoted result holds no double quote inside and fits QuotedFieldBuffer.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "csv_field.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::string ReferenceDecode(const std::string& text) {
    static const char* const kEntities[] = {"&amp;", "&apos;", "&quot;", "&lt;", "&gt;"};
    static const char kCharacters[] = {'&', '\'', '"', '<', '>'};
    std::string decoded;
    std::size_t at = 0;
    while (at < text.size()) {
        bool matched = false;
        for (int row = 0; row < 5 && !matched; ++row) {
            if (text.compare(at, std::strlen(kEntities[row]), kEntities[row]) == 0) {
                decoded += kCharacters[row];
                at += std::strlen(kEntities[row]);
                matched = true;
            }
        }
        if (!matched) decoded += text[at++];
    }
    return decoded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace wayfold;
    // A field is a zero-terminated text of at most 1023 characters in a 1024-byte buffer.
    std::string original(reinterpret_cast<const char*>(bytes), size < 1023 ? size : 1023);
    original.resize(std::strlen(original.c_str()));
    std::unique_ptr<char[]> field(new char[1024]);
    std::memcpy(field.get(), original.c_str(), original.size() + 1);

    std::string decoded = ReferenceDecode(original);
    bool mustQuote = decoded.find_first_of(",\n") != std::string::npos;

    char* result = CsvField(field.get());
    std::size_t length = std::strlen(result);
    Require(std::strlen(field.get()) == decoded.size(), "decoding in place never lengthens");
    if (!mustQuote) {
        Require(result == field.get(), "unquoted results are the field itself");
        Require(decoded == result, "decoded like the reference");
        return 0;
    }
    Require(result == QuotedFieldBuffer, "quoted results lie in QuotedFieldBuffer");
    Require(length == decoded.size() + 2 && length < static_cast<std::size_t>(kQuotedFieldCapacity),
            "quoted result length");
    Require(result[0] == '"' && result[length - 1] == '"', "wrapped in double quotes");
    Require(std::memchr(result + 1, '"', length - 2) == nullptr, "no double quote inside a quoted result");
    for (char& c : decoded) {
        if (c == '"') c = '\'';
    }
    Require(decoded == std::string(result + 1, length - 2), "quoted text like the reference");
    return 0;
}
