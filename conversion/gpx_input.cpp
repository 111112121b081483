#include "gpx_input.h"

#include <cerrno>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wayfold {
namespace {

// Removes every CR of [begin, end) in place, moving the other bytes down over the gaps.
// Returns the new end.
char* RemoveCarriageReturns(char* begin, char* end) {
    char* out = static_cast<char*>(std::memchr(begin, '\r', static_cast<std::size_t>(end - begin)));
    if (!out) return end;
    char* in = out;
#if defined(__SSE2__)
    // With CR LF text nearly every 16 bytes hold a CR, too many for a call per run: each
    // chunk is compacted in a register instead (the bytes after a CR move down by one) and
    // stored whole. The store never reaches past the chunk just loaded, as out <= in.
    const __m128i carriageReturn = _mm_set1_epi8('\r');
    const __m128i position = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    for (; end - in >= 16; in += 16) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        auto crs = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, carriageReturn)));
        if (crs == 0xFFFF) continue;
        int kept = 16;
        for (; crs != 0; crs &= crs - 1) {
            int at = __builtin_ctz(crs) - (16 - kept);  // earlier CRs have moved it down
            __m128i before = _mm_cmplt_epi8(position, _mm_set1_epi8(static_cast<char>(at)));
            chunk = _mm_or_si128(_mm_and_si128(before, chunk), _mm_andnot_si128(before, _mm_srli_si128(chunk, 1)));
            --kept;
        }
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), chunk);
        out += kept;
    }
#endif
    while (in < end) {
        char* cr = static_cast<char*>(std::memchr(in, '\r', static_cast<std::size_t>(end - in)));
        char* runEnd = cr ? cr : end;
        std::memmove(out, in, static_cast<std::size_t>(runEnd - in));
        out += runEnd - in;
        in = cr ? cr + 1 : end;
    }
    return out;
}

}  // namespace

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
        end = RemoveCarriageReturns(block_, end);
        if (end > block_) {
            next_ = block_;
            end_ = end;
            return true;
        }
    }
    next_ = end_ = block_;
    return false;
}

void GpxInput::SkipPastAcrossBlocks(char delimiter, std::size_t limit) {
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
