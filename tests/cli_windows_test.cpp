// wayfold-convert.exe run as a real Windows process: the CSV bytes (CR LF written once, also
// to standard output), the output that is the input under Windows spellings of its path
// (letter case, ".\", a full path), and the errors.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "conversion_run.h"

namespace fs = std::filesystem;

namespace {

const std::string kGpx =
    "<gpx><wpt lat=\"1.5\" lon=\"2.5\"><name>A, B</name></wpt><wpt lat=\"3\"><name>C</name></wpt></gpx>";
const std::string kCsv = "2.5,1.5,\"A, B\"\r\n";

// Standard output and standard error are text streams: LF becomes CR LF on Windows.
std::string WithCrLf(const std::string& text) {
    std::string result;
    for (char c : text) result += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return result;
}

const std::string kSummary = WithCrLf(std::string("1 waypoints converted.\n1 waypoints skipped: missing latitude or longitude.\n\n") +
                                      wayfold::CreditText + "\n");

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

struct ProcessResult {
    DWORD status;
    std::string out, err;
};

class CommandLineOnWindows : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("wayfold-cli-" + std::to_string(GetCurrentProcessId()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        WriteFile(dir_ / "trip.gpx", kGpx);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the converter in the test folder with `arguments` (a Windows command-line tail).
    ProcessResult Convert(const std::string& arguments) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        std::string outPath = (dir_ / ".out").string(), errPath = (dir_ / ".err").string();
        HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        HANDLE err = CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = out;
        startup.hStdError = err;
        std::string program = ProgramPath();
        std::string commandLine = "\"" + program + "\" " + arguments;
        std::string folder = dir_.string();
        PROCESS_INFORMATION process{};
        ProcessResult run{~DWORD(0), "", ""};
        if (CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(),
                           &startup, &process)) {
            WaitForSingleObject(process.hProcess, 30000);
            GetExitCodeProcess(process.hProcess, &run.status);
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        CloseHandle(out);
        CloseHandle(err);
        run.out = ReadFile(outPath);
        run.err = ReadFile(errPath);
        fs::remove(outPath);
        fs::remove(errPath);
        return run;
    }

    static std::string ProgramPath() {
        std::string path = WAYFOLD_CONVERT;
        return !path.empty() && path[0] == '/' ? "Z:" + path : path;  // Wine's Z: is the root
    }

    fs::path dir_;
};

TEST_F(CommandLineOnWindows, ConvertsWithCrLfWrittenOnce) {
    ProcessResult run = Convert("trip.gpx");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out, kSummary);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadFile(dir_ / "trip.csv"), kCsv);

    run = Convert("-o - trip.gpx");
    EXPECT_EQ(run.status, 0u) << run.err;
    EXPECT_EQ(run.out, kCsv);
    EXPECT_EQ(run.err, kSummary);
}

TEST_F(CommandLineOnWindows, OutputThatIsTheInputIsRefusedInEverySpelling) {
    std::string full = (dir_ / "trip.gpx").string();
    for (std::string output : {std::string("trip.gpx"), std::string("TRIP.GPX"), std::string(".\\trip.gpx"), full}) {
        ProcessResult run = Convert("--force -o \"" + output + "\" trip.gpx");
        EXPECT_EQ(run.status, 1u) << output;
        EXPECT_EQ(run.err, "wayfold-convert: " + output + ": The output file is the input file.\r\n");
        EXPECT_EQ(ReadFile(dir_ / "trip.gpx"), kGpx) << output;
    }
}

TEST_F(CommandLineOnWindows, ErrorsNameThePathAndTheReason) {
    WriteFile(dir_ / "trip.csv", "older\r\n");
    struct Case {
        const char* arguments;
        const char* err;
    } cases[] = {
        {"notes.txt", "wayfold-convert: notes.txt: This is not a GPX file.\r\n"},
        {"missing.gpx", "wayfold-convert: missing.gpx: No such file or directory\r\n"},
        {"trip.gpx", "wayfold-convert: trip.csv: The output file already exists (use --force to replace it).\r\n"},
    };
    for (const Case& c : cases) {
        ProcessResult run = Convert(c.arguments);
        EXPECT_EQ(run.status, 1u) << c.arguments;
        EXPECT_EQ(run.err, c.err) << c.arguments;
    }
    EXPECT_EQ(ReadFile(dir_ / "trip.csv"), "older\r\n");
}

}  // namespace
