#include "gpx_input.h"

#include <cerrno>
#include <cstring>

namespace wayfold {

long long FileByteSource::Read(char* buffer, std::size_t size) {
    errno = 0;
    std::size_t count = std::fread(buffer, 1, size, file_);
    if (count == 0 && std::ferror(file_)) {
        errorNumber_ = errno;
        return -1;
    }
    return static_cast<long long>(count);
}

long long MemoryByteSource::Read(char* buffer, std::size_t size) {
    std::size_t count = size_ - offset_;
    if (count > size) count = size;
    if (count > chunk_) count = chunk_;
    std::memcpy(buffer, data_ + offset_, count);
    offset_ += count;
    return static_cast<long long>(count);
}

// Fills the block with the next characters of the input, after the input rules.
// False when no character is left.
bool GpxInput::Refill() {
    while (!sourceDone_) {
        long long count = source_.Read(block_, blockSize_);
        if (count <= 0) {
            if (count < 0) readError_ = true;
            sourceDone_ = true;
            break;
        }
        char* end = block_ + count;
        if (char* eof = static_cast<char*>(std::memchr(block_, 0x1A, static_cast<std::size_t>(count)))) {
            end = eof;
            sourceDone_ = true;  // nothing after the first 0x1A is ever read
        }
        // Remove every CR in place: move each run of other bytes down over the gaps.
        char* out = static_cast<char*>(std::memchr(block_, '\r', static_cast<std::size_t>(end - block_)));
        if (out) {
            for (char* in = out + 1; in < end;) {
                char* cr = static_cast<char*>(std::memchr(in, '\r', static_cast<std::size_t>(end - in)));
                char* runEnd = cr ? cr : end;
                std::memmove(out, in, static_cast<std::size_t>(runEnd - in));
                out += runEnd - in;
                in = runEnd + 1;
            }
            end = out;
        }
        if (end > block_) {
            next_ = block_;
            end_ = end;
            return true;
        }
    }
    next_ = end_ = block_;
    return false;
}

void GpxInput::SkipPast(char delimiter, std::size_t limit) {
    if (atEnd_ || failed_) {
        failed_ = true;
        return;
    }
    while (limit > 0) {
        if (next_ == end_ && !Refill()) {
            atEnd_ = true;
            return;
        }
        std::size_t available = static_cast<std::size_t>(end_ - next_);
        std::size_t span = available < limit ? available : limit;
        if (char* hit = static_cast<char*>(std::memchr(next_, delimiter, span))) {
            next_ = hit + 1;
            return;
        }
        next_ += span;
        limit -= span;
    }
}

void GpxInput::ReadUntil(char* buffer, std::size_t size, char delimiter) {
    if (atEnd_ || failed_) {
        failed_ = true;
        buffer[0] = '\0';
        return;
    }
    std::size_t capacity = size - 1;
    std::size_t stored = 0;
    while (stored < capacity) {
        if (next_ == end_ && !Refill()) {
            atEnd_ = true;
            if (stored == 0) failed_ = true;
            break;
        }
        std::size_t available = static_cast<std::size_t>(end_ - next_);
        std::size_t room = capacity - stored;
        std::size_t span = available < room ? available : room;
        char* hit = static_cast<char*>(std::memchr(next_, delimiter, span));
        std::size_t take = hit ? static_cast<std::size_t>(hit - next_) : span;
        std::memcpy(buffer + stored, next_, take);
        stored += take;
        next_ += take;
        if (hit) {
            ++next_;  // the delimiter is consumed, not stored
            break;
        }
    }
    buffer[stored] = '\0';
}

}  // namespace wayfold
