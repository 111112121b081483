// Fuzzes GetAttribute with any attribute name, tag text and output size, each in a heap
// block of its exact size, and checks that the value is always terminated within outSize
// and is a piece of the tag text without a double quote.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "waypoint_reader.h"

namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

std::unique_ptr<char[]> Text(const std::uint8_t* bytes, std::size_t size) {
    std::unique_ptr<char[]> text(new char[size + 1]);
    std::memcpy(text.get(), bytes, size);
    text[size] = '\0';
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size < 2) return 0;
    // Byte 0: the output size (1 to 64); byte 1: the name's length; then the name and the tag.
    std::size_t outSize = 1 + bytes[0] % 64;
    std::size_t nameLength = bytes[1] % 8;
    bytes += 2;
    size -= 2;
    if (nameLength > size) nameLength = size;
    std::unique_ptr<char[]> name = Text(bytes, nameLength);
    std::unique_ptr<char[]> tag = Text(bytes + nameLength, size - nameLength);

    std::unique_ptr<char[]> out(new char[outSize]);
    std::memset(out.get(), 0x55, outSize);
    wayfold::GetAttribute(name.get(), tag.get(), out.get(), outSize);

    const char* end = static_cast<const char*>(std::memchr(out.get(), '\0', outSize));
    Require(end != nullptr, "the value is terminated within outSize");
    Require(std::strchr(out.get(), '"') == nullptr, "the value holds no double quote");
    if (out[0] != '\0') {
        Require(std::strstr(tag.get(), out.get()) != nullptr, "the value comes from the tag text");
    }
    return 0;
}
