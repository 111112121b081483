// The input stream of a conversion run: GPX bytes read forward once in large blocks,
// with the program's own input rules applied per block, the same on every system:
//   - every CR byte (0x0D) is removed, wherever it stands;
//   - the first 0x1A byte ends the input; nothing after it is read;
//   - nothing else is translated.
// A read error of the source ends the input like its end, but is remembered
// (`readError`) so that whoever runs the conversion can report it.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstring>

namespace wayfold {

// Where the input bytes come from. Read returns the number of bytes stored (0 at the
// end of the source) or -1 on a read error.
class ByteSource {
public:
    virtual long long Read(char* buffer, std::size_t size) = 0;

protected:
    ~ByteSource() = default;
};

// A byte source over a C file opened in binary mode. The caller owns the file.
class FileByteSource final : public ByteSource {
public:
    explicit FileByteSource(std::FILE* file) : file_(file) {}
    long long Read(char* buffer, std::size_t size) override;
    int errorNumber() const { return errorNumber_; }

private:
    std::FILE* file_;
    int errorNumber_ = 0;
};

// A byte source over bytes in memory, handed out at most `chunk` bytes per read
// (tests use small chunks to put block boundaries everywhere).
class MemoryByteSource final : public ByteSource {
public:
    MemoryByteSource(const char* data, std::size_t size, std::size_t chunk = static_cast<std::size_t>(-1))
        : data_(data), size_(size), chunk_(chunk == 0 ? 1 : chunk) {}
    long long Read(char* buffer, std::size_t size) override;

private:
    const char* data_;
    std::size_t size_;
    std::size_t chunk_;
    std::size_t offset_ = 0;
};

class GpxInput {
public:
    // `block` is the caller's read buffer; its size sets how much is read at a time.
    GpxInput(ByteSource& source, char* block, std::size_t blockSize)
        : source_(source), block_(block), blockSize_(blockSize) {}

    // Skips up to and including the next `delimiter`, giving up after `limit` characters.
    // Inline for the common case, a delimiter inside the block: one call per tag.
    void SkipPast(char delimiter, std::size_t limit) {
        if (next_ != end_) {  // else the block is used up, or the input ended
            std::size_t available = static_cast<std::size_t>(end_ - next_);
            std::size_t span = available < limit ? available : limit;
            if (void* hit = std::memchr(next_, delimiter, span)) {
                next_ = static_cast<char*>(hit) + 1;
                return;
            }
            next_ += span;
            limit -= span;
            if (limit == 0) return;
        }
        SkipPastAcrossBlocks(delimiter, limit);
    }
    // Reads up to the next `delimiter` (consumed, not stored) or until size - 1
    // characters are stored; always terminates `buffer`.
    void ReadUntil(char* buffer, std::size_t size, char delimiter);
    // The next `count` characters when the block holds them already, without taking
    // them; nullptr otherwise (never reads).
    const char* Peek(std::size_t count) const {
        return static_cast<std::size_t>(end_ - next_) >= count ? next_ : nullptr;
    }

    bool atEnd() const { return atEnd_; }
    bool failed() const { return failed_; }
    bool readError() const { return readError_; }

private:
    bool Refill();
    void SkipPastAcrossBlocks(char delimiter, std::size_t limit);

    ByteSource& source_;
    char* block_;
    std::size_t blockSize_;
    char* next_ = nullptr;   // next character not yet taken
    char* end_ = nullptr;    // end of the characters in the block
    bool sourceDone_ = false;
    bool atEnd_ = false;
    bool failed_ = false;
    bool readError_ = false;
};

}  // namespace wayfold
