// Fuzzes CsvField on any field text (up to the 1023 characters a field can hold) and
// compares it with the plain reference implementation of the same rules:
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
#include "reference/reference_conversion.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    using namespace wayfold;
    // A field is a zero-terminated text of at most 1023 characters in a 1024-byte buffer.
    std::string original(reinterpret_cast<const char*>(bytes), size < 1023 ? size : 1023);
    original.resize(std::strlen(original.c_str()));
    std::unique_ptr<char[]> field(new char[1024]);
    std::memcpy(field.get(), original.c_str(), original.size() + 1);

    std::string expected = reference::CsvFieldOf(original);
    bool mustQuote = original.find_first_of(",\n") != std::string::npos;  // no entity stands for either

    char* result = CsvField(field.get());
    std::size_t length = std::strlen(result);
    Require(expected == result, "the same field as the reference");
    if (!mustQuote) {
        Require(result == field.get(), "unquoted results are the field itself");
        return 0;
    }
    Require(result == QuotedFieldBuffer, "quoted results lie in QuotedFieldBuffer");
    Require(length < static_cast<std::size_t>(kQuotedFieldCapacity), "a quoted result fits its buffer");
    Require(std::memchr(result + 1, '"', length - 2) == nullptr, "no double quote inside a quoted result");
    return 0;
}
