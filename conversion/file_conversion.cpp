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
