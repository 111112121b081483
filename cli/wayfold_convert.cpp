// wayfold-convert: the command-line converter over the same core as the window.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "../resources/version.h"
#include "file_conversion.h"

namespace {

const char kProgram[] = "wayfold-convert";

const char kUsage[] =
    "Usage: wayfold-convert [-f|--force] [-o OUTPUT|--output OUTPUT] INPUT...\n"
    "Converts the waypoints of each GPX file INPUT to a CSV file (longitude, latitude,\n"
    "name, description or comment; CR LF line ends) and prints a summary.\n"
    "\n"
    "The output of INPUT is INPUT with its \".gpx\" (else \".GPX\") turned into \".csv\"\n"
    "and the rest of the path dropped, unless -o names it.\n"
    "\n"
    "  -o, --output OUTPUT  write the CSV to OUTPUT (one INPUT only; - for standard output)\n"
    "  -f, --force          replace an existing output file\n"
    "      --help           show this help and exit\n"
    "      --version        show the version and exit\n"
    "\n"
    "Exit status: 0 when every input was converted, 1 when any failed, 2 for a usage error.\n";

struct Options {
    bool force = false;
    const char* output = nullptr;
    std::vector<const char*> inputs;
};

void ReportError(const char* path, const char* reason) {
    std::fprintf(stderr, "%s: %s: %s\n", kProgram, path, reason);
}

int UsageError(const char* message) {
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", kProgram, message, kProgram);
    return 2;
}

// Parses the arguments; returns -1 to go on, else the exit status.
int ParseArguments(int argc, char** argv, Options& options) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* argument = argv[i];
        if (optionsEnded || argument[0] != '-' || std::strcmp(argument, "-") == 0) {
            options.inputs.push_back(argument);
        } else if (std::strcmp(argument, "--") == 0) {
            optionsEnded = true;
        } else if (std::strcmp(argument, "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (std::strcmp(argument, "--version") == 0) {
            std::printf("%s %s\n", kProgram, WAYFOLD_VERSION_TEXT);
            return 0;
        } else if (std::strcmp(argument, "-f") == 0 || std::strcmp(argument, "--force") == 0) {
            options.force = true;
        } else if (std::strcmp(argument, "-o") == 0 || std::strcmp(argument, "--output") == 0) {
            if (i + 1 == argc) return UsageError("option requires an argument: -o");
            if (options.output) return UsageError("only one -o is allowed");
            options.output = argv[++i];
        } else if (std::strncmp(argument, "--output=", 9) == 0) {
            if (options.output) return UsageError("only one -o is allowed");
            options.output = argument + 9;
        } else {
            std::string message = std::string("unknown option: ") + argument;
            return UsageError(message.c_str());
        }
    }
    if (options.inputs.empty()) return UsageError("no input file");
    if (options.output && options.inputs.size() > 1) return UsageError("-o allows one input file only");
    return -1;
}

// Closes the file on every way out.
struct FileCloser {
    std::FILE* file;
    ~FileCloser() {
        if (file) std::fclose(file);
    }
};

// Looks at the first bytes of the input and puts it back at its start. A file that
// cannot seek (a pipe) is not looked at: what was read could not be given back.
bool StartsAsUtf16(std::FILE* input) {
    if (std::fseek(input, 0, SEEK_SET) != 0) return false;
    char start[64];
    std::size_t count = std::fread(start, 1, sizeof start, input);
    std::clearerr(input);
    if (std::fseek(input, 0, SEEK_SET) != 0) return false;
    return wayfold::LooksLikeUtf16(start, count);
}

// True when standard output is the input file itself (`-o - trip.gpx >>trip.gpx`): the
// CSV would be written into the file being read.
bool StandardOutputIsTheInput(std::FILE* input) {
#ifdef _WIN32
    (void)input;  // no file identity in the C library there
    return false;
#else
    struct stat in {}, out {};
    return ::fstat(::fileno(input), &in) == 0 && ::fstat(STDOUT_FILENO, &out) == 0 && in.st_dev == out.st_dev &&
           in.st_ino == out.st_ino;
#endif
}

// Converts one input. Returns true on success.
bool ConvertOne(const char* inputPath, const Options& options, bool nameInput) {
    using namespace wayfold;
    std::size_t extensionAt = FindGpxExtension(inputPath);
    if (extensionAt == kNoGpxExtension) {
        ReportError(inputPath, "This is not a GPX file.");
        return false;
    }

    std::error_code ignored;
    if (std::filesystem::is_directory(inputPath, ignored)) {
        ReportError(inputPath, std::strerror(EISDIR));
        return false;
    }
    errno = 0;
    FileCloser input{std::fopen(inputPath, "rb")};
    if (!input.file) {
        ReportError(inputPath, std::strerror(errno));
        return false;
    }

    if (StartsAsUtf16(input.file)) {
        ReportError(inputPath, "This file is UTF-16 text; wayfold reads 8-bit text such as UTF-8.");
        return false;
    }

    std::string outputName = options.output ? options.output : ProposeOutputName(inputPath, extensionAt);
    const char* outputPath = outputName.c_str();
    bool toStandardOutput = outputName == "-";

    if (toStandardOutput && StandardOutputIsTheInput(input.file)) {
        ReportError("standard output", "The output file is the input file.");
        return false;
    }
    if (!toStandardOutput) {
        if (IsSameFile(inputPath, outputPath)) {
            ReportError(outputPath, "The output file is the input file.");
            return false;
        }
        if (!options.force && std::filesystem::is_regular_file(outputPath, ignored)) {
            ReportError(outputPath, "The output file already exists (use --force to replace it).");
            return false;
        }
    }

    FileCloser output{nullptr};
    if (toStandardOutput) {
#ifdef _WIN32
        _setmode(_fileno(stdout), _O_BINARY);  // CR LF exactly as written
#endif
    } else {
        errno = 0;
        output.file = std::fopen(outputPath, "wb");
        if (!output.file) {
            ReportError(outputPath, std::strerror(errno));
            return false;
        }
    }
    std::FILE* csv = toStandardOutput ? stdout : output.file;

    WaypointFields fields;
    TagBuffer tag;
    FileConversionResult result = ConvertFile(input.file, csv, fields, tag);

    bool closeFailed = false;
    if (output.file) {
        errno = 0;
        closeFailed = std::fclose(output.file) != 0;
        output.file = nullptr;
        if (closeFailed && !result.writeFailed) {
            result.writeFailed = true;
            result.writeErrorNumber = errno;
        }
    }

    const char* shownOutput = toStandardOutput ? "standard output" : outputPath;
    bool ok = true;
    if (result.readFailed) {
        ReportError(inputPath, result.readErrorNumber ? std::strerror(result.readErrorNumber) : "Could not read the file.");
        ok = false;
    }
    if (result.writeFailed) {
        ReportError(shownOutput,
                    result.writeErrorNumber ? std::strerror(result.writeErrorNumber) : "Could not write the output file.");
        ok = false;
    }
    if (!ok) return false;

    std::FILE* summaryStream = toStandardOutput ? stderr : stdout;
    if (nameInput) std::fprintf(summaryStream, "%s -> %s\n", inputPath, shownOutput);
    std::fprintf(summaryStream, "%s\n", tag.text);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    int status = ParseArguments(argc, argv, options);
    if (status >= 0) return status;

    bool allConverted = true;
    for (const char* input : options.inputs) {
        if (!ConvertOne(input, options, options.inputs.size() > 1)) allConverted = false;
    }
    if (std::fflush(stdout) != 0) {
        ReportError("standard output", std::strerror(errno));
        allConverted = false;
    }
    return allConverted ? 0 : 1;
}
