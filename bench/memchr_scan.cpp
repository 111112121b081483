// The yardstick of the benchmark: the simplest forward pass over a file that looks at
// every tag. It reads 1 MiB blocks and stops at every "<" with memchr, and prints how
// many it found so that the scan cannot be optimised away.
#include <cstdio>
#include <cstring>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: memchr_scan FILE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (!file) {
        std::perror(argv[1]);
        return 1;
    }
    constexpr std::size_t kBlockSize = 1 << 20;
    std::unique_ptr<char[]> block(new char[kBlockSize]);
    unsigned long long tags = 0;
    std::size_t count;
    while ((count = std::fread(block.get(), 1, kBlockSize, file)) > 0) {
        const char* at = block.get();
        const char* end = at + count;
        while (const void* hit = std::memchr(at, '<', static_cast<std::size_t>(end - at))) {
            ++tags;
            at = static_cast<const char*>(hit) + 1;
        }
    }
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        std::fprintf(stderr, "memchr_scan: %s: read error\n", argv[1]);
        return 1;
    }
    std::printf("%llu\n", tags);
    return 0;
}
