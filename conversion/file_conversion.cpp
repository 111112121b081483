#include "file_conversion.h"

#include <cstring>
#include <filesystem>
#include <memory>
#include <system_error>

namespace wayfold {

std::size_t FindGpxExtension(const char* path) {
    const char* found = std::strstr(path, ".gpx");
    if (!found) found = std::strstr(path, ".GPX");
    return found ? static_cast<std::size_t>(found - path) : kNoGpxExtension;
}

std::string ProposeOutputName(const char* inputPath, std::size_t extensionAt) {
    return std::string(inputPath, extensionAt) + ".csv";
}

bool IsSameFile(const char* first, const char* second) {
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(first), std::filesystem::path(second), error) &&
           !error;
}

bool LooksLikeUtf16(const char* start, std::size_t size) {
    auto byte = [start](std::size_t i) { return static_cast<unsigned char>(start[i]); };
    if (size >= 2 && ((byte(0) == 0xFF && byte(1) == 0xFE) || (byte(0) == 0xFE && byte(1) == 0xFF))) return true;
    const void* tagOpen = std::memchr(start, '<', size);
    if (!tagOpen) return false;
    std::size_t at = static_cast<std::size_t>(static_cast<const char*>(tagOpen) - start);
    return (at > 0 && byte(at - 1) == 0) || (at + 1 < size && byte(at + 1) == 0);
}

FileConversionResult ConvertFile(std::FILE* input, std::FILE* output, WaypointFields& fields, TagBuffer& tag) {
    // One read block per run, large enough that the reads cost little next to the scan.
    constexpr std::size_t kBlockSize = 256 * 1024;
    std::unique_ptr<char[]> block(new char[kBlockSize]);

    FileByteSource source(input);
    GpxInput gpx(source, block.get(), kBlockSize);
    FileByteSink sink(output);
    CsvOutput csv(sink);

    FileConversionResult result;
    result.counts = ConvertWaypoints(gpx, csv, fields, tag);
    BuildSummary(result.counts, tag);
    result.readFailed = gpx.readError();
    result.readErrorNumber = source.errorNumber();
    result.writeFailed = csv.failed();
    result.writeErrorNumber = sink.errorNumber();
    return result;
}

}  // namespace wayfold
