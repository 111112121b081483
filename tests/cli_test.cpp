// wayfold-convert run as a real process: arguments, files, messages and exit status.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "conversion_run.h"

namespace fs = std::filesystem;

namespace {

const std::string kGpx =
    "<gpx><wpt lat=\"1.5\" lon=\"2.5\"><name>A, B</name></wpt><wpt lat=\"3\"><name>C</name></wpt></gpx>";
const std::string kCsv = "2.5,1.5,\"A, B\"\r\n";
const std::string kSummary =
    std::string("1 waypoints converted.\n1 waypoints skipped: missing latitude or longitude.\n\n") +
    wayfold::CreditText + "\n";

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

struct ProcessResult {
    int status;
    std::string out, err;
};

class CommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("wayfold-cli-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        WriteFile(dir_ / "trip.gpx", kGpx);
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }

    // Runs the converter in the test folder with `arguments` (shell syntax).
    // `standardOutput` replaces the captured standard output (and is not read back).
    ProcessResult Convert(const std::string& arguments, std::string standardOutput = "") {
        bool capture = standardOutput.empty();
        if (capture) standardOutput = (dir_ / ".out").string();
        std::string command = "cd '" + dir_.string() + "' && '" WAYFOLD_CONVERT "' " + arguments + " >'" +
                              standardOutput + "' 2>'" + (dir_ / ".err").string() + "' </dev/null";
        int raw = std::system(command.c_str());
        ProcessResult run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, capture ? ReadFile(standardOutput) : "", ReadFile(dir_ / ".err")};
        fs::remove(dir_ / ".out");
        fs::remove(dir_ / ".err");
        return run;
    }

    fs::path dir_;
};

TEST_F(CommandLine, ConvertsToTheProposedName) {
    ProcessResult run = Convert("trip.gpx");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kSummary);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(ReadFile(dir_ / "trip.csv"), kCsv);
}

TEST_F(CommandLine, OutputOptionAndStandardOutput) {
    ProcessResult run = Convert("-o named.csv trip.gpx");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "named.csv"), kCsv);

    run = Convert("--output - trip.gpx");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kCsv);
    EXPECT_EQ(run.err, kSummary);
}

TEST_F(CommandLine, ExistingOutputIsReplacedOnlyWithForce) {
    WriteFile(dir_ / "trip.csv", "older and longer content\r\n");
    ProcessResult run = Convert("trip.gpx");
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("wayfold-convert: trip.csv: "), std::string::npos) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "trip.csv"), "older and longer content\r\n");

    run = Convert("--force trip.gpx");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "trip.csv"), kCsv);
}

TEST_F(CommandLine, OutputThatIsTheInputIsRefused) {
    fs::create_symlink(dir_ / "trip.gpx", dir_ / "link.gpx");
    fs::create_hard_link(dir_ / "trip.gpx", dir_ / "hard.gpx");
    const char* outputs[] = {"trip.gpx", "./trip.gpx", "link.gpx", "hard.gpx", "../$(basename $PWD)/trip.gpx"};
    for (const char* output : outputs) {
        ProcessResult run = Convert(std::string("--force -o ") + output + " trip.gpx");
        EXPECT_EQ(run.status, 1) << output;
        EXPECT_NE(run.err.find(": The output file is the input file.\n"), std::string::npos) << run.err;
        EXPECT_EQ(ReadFile(dir_ / "trip.gpx"), kGpx) << output;
    }
}

TEST_F(CommandLine, StandardOutputThatIsTheInputIsRefused) {
    // Both redirections keep the file as it is, so only the converter can refuse.
    for (const char* redirection : {">>trip.gpx", "1<>trip.gpx"}) {
        std::string command = "cd '" + dir_.string() + "' && '" WAYFOLD_CONVERT "' -o - trip.gpx " + redirection +
                              " 2>.err </dev/null";
        int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1) << redirection;
        EXPECT_EQ(ReadFile(dir_ / ".err"), "wayfold-convert: standard output: The output file is the input file.\n");
        EXPECT_EQ(ReadFile(dir_ / "trip.gpx"), kGpx) << redirection;
    }
}

TEST_F(CommandLine, ErrorsNameThePathAndTheReason) {
    fs::create_directory(dir_ / "folder.gpx");
    WriteFile(dir_ / "notes.txt", kGpx);
    struct Case {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"notes.txt", "wayfold-convert: notes.txt: This is not a GPX file.\n"},
        {"trip.Gpx", "wayfold-convert: trip.Gpx: This is not a GPX file.\n"},
        {"missing.gpx", "wayfold-convert: missing.gpx: No such file or directory\n"},
        {"folder.gpx", "wayfold-convert: folder.gpx: Is a directory\n"},
        {"-o no/such/dir/out.csv trip.gpx", "wayfold-convert: no/such/dir/out.csv: No such file or directory\n"},
        {"-o folder.gpx trip.gpx", "wayfold-convert: folder.gpx: Is a directory\n"},
        {"-o /dev/full trip.gpx", "wayfold-convert: /dev/full: No space left on device\n"},
    };
    for (const Case& c : cases) {
        ProcessResult run = Convert(c.arguments);
        EXPECT_EQ(run.status, 1) << c.arguments;
        EXPECT_EQ(run.err, c.message) << c.arguments;
        EXPECT_EQ(run.out, "") << c.arguments;
    }
    EXPECT_EQ(ReadFile(dir_ / "trip.gpx"), kGpx);
}

// Files that hold no GPX text: each gets its answer, and no input is ever changed.
TEST_F(CommandLine, FilesWithoutGpxTextAreAnsweredAndLeftUnchanged) {
    std::mt19937 generator(20261211);
    std::string random(4096, '\0');
    for (char& c : random) c = static_cast<char>(generator());
    const std::string utf16le("\xFF\xFE<\0g\0p\0x\0>\0<\0w\0p\0t\0 \0", 20);
    const std::string utf16be("\xFE\xFF\0<\0w\0p\0t\0 ", 12);
    const std::string utf16NoMark("\n\0<\0w\0p\0t\0 \0", 12);
    const std::string noWaypoint = "0 waypoints converted.\n\n" + std::string(wayfold::CreditText) + "\n";
    const std::string utf16 = ": This file is UTF-16 text; wayfold reads 8-bit text such as UTF-8.\n";
    struct Case {
        const char* file;
        std::string bytes;
        std::string out, err;
        bool csvWritten;
    } cases[] = {
        {"empty.gpx", "", noWaypoint, "", true},
        {"random.gpx", random, noWaypoint, "", true},
        {"utf16le.gpx", utf16le, "", "wayfold-convert: utf16le.gpx" + utf16, false},
        {"utf16be.gpx", utf16be, "", "wayfold-convert: utf16be.gpx" + utf16, false},
        {"nomark.gpx", utf16NoMark, "", "wayfold-convert: nomark.gpx" + utf16, false},
    };
    for (const Case& c : cases) {
        WriteFile(dir_ / c.file, c.bytes);
        ProcessResult run = Convert(std::string("-o out.csv ") + c.file);
        EXPECT_EQ(run.status, c.csvWritten ? 0 : 1) << c.file;
        EXPECT_EQ(run.out, c.out) << c.file;
        EXPECT_EQ(run.err, c.err) << c.file;
        EXPECT_EQ(ReadFile(dir_ / c.file), c.bytes) << c.file;
        EXPECT_EQ(fs::exists(dir_ / "out.csv"), c.csvWritten) << c.file;
        if (c.csvWritten) {
            EXPECT_EQ(fs::file_size(dir_ / "out.csv"), 0u) << c.file;
        }
        fs::remove(dir_ / "out.csv");
    }
}

TEST_F(CommandLine, TwoGigabytesWithoutATagConvertNothing) {
    const std::uintmax_t size = std::uintmax_t{2} << 30;
    std::ofstream(dir_ / "zeros.gpx").close();
    fs::resize_file(dir_ / "zeros.gpx", size);  // sparse: no disk space taken
    ProcessResult run = Convert("zeros.gpx");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "0 waypoints converted.\n\n" + std::string(wayfold::CreditText) + "\n");
    EXPECT_EQ(fs::file_size(dir_ / "zeros.csv"), 0u);
    EXPECT_EQ(fs::file_size(dir_ / "zeros.gpx"), size);
}

// No 32-bit size or offset in the input path: waypoints at the start, across the 2 GiB
// and 4 GiB marks and at the end of a sparse file of a little over 4 GiB all convert.
TEST_F(CommandLine, FilesOverFourGigabytesConvertWhole) {
    const std::streamoff kGiB = std::streamoff{1} << 30;
    // The "<a>" tags put the scanner back in step after the long runs of zero bytes.
    auto waypoint = [](int n, const char* name) {
        return "<a><a><a><wpt lat=\"" + std::to_string(n) + "\" lon=\"" + std::to_string(n) + "\"><name>" + name +
               "</name></wpt>\n";
    };
    const fs::path big = dir_ / "big.gpx";
    {
        std::ofstream out(big, std::ios::binary);
        out << "<gpx>\n" << waypoint(1, "start");
        out.seekp(2 * kGiB - 30);
        out << waypoint(2, "across 2 GiB");
        out.seekp(4 * kGiB - 30);
        out << waypoint(3, "across 4 GiB");
        out.seekp(4 * kGiB + (1 << 20));
        out << waypoint(4, "end") << "</gpx>\n";
        ASSERT_TRUE(out.good());
    }
    struct stat info {};
    ASSERT_EQ(::stat(big.c_str(), &info), 0);
    if (info.st_blocks * 512 > (1 << 24)) GTEST_SKIP() << "this file system has no sparse files";
    ASSERT_GT(fs::file_size(big), std::uintmax_t{4} << 30);

    ProcessResult run = Convert("big.gpx");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "4 waypoints converted.\n\n" + std::string(wayfold::CreditText) + "\n");
    EXPECT_EQ(ReadFile(dir_ / "big.csv"), "1,1,start\r\n2,2,across 2 GiB\r\n3,3,across 4 GiB\r\n4,4,end\r\n");
}

TEST_F(CommandLine, ReadErrorDuringTheRunIsAnError) {
    // Reading a process's own memory from offset 0 fails with EIO once the file is open.
    if (!fs::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc";
    fs::create_symlink("/proc/self/mem", dir_ / "memory.gpx");
    ProcessResult run = Convert("memory.gpx");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "wayfold-convert: memory.gpx: Input/output error\n");
}

TEST_F(CommandLine, InputFromAPipeIsReadWhole) {
    // The first bytes of a file are looked at before the run; a pipe must not lose them.
    ASSERT_EQ(::mkfifo((dir_ / "pipe.gpx").c_str(), 0600), 0);
    std::thread writer([this] { std::ofstream(dir_ / "pipe.gpx", std::ios::binary) << kGpx; });
    ProcessResult run = Convert("pipe.gpx");
    writer.join();
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadFile(dir_ / "pipe.csv"), kCsv);
}

TEST_F(CommandLine, FullDiskOnStandardOutputIsAnError) {
    ProcessResult run = Convert("-o - trip.gpx", "/dev/full");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "wayfold-convert: standard output: No space left on device\n");

    run = Convert("trip.gpx", "/dev/full");  // the CSV is fine, the summary is lost
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "wayfold-convert: standard output: No space left on device\n");
}

TEST_F(CommandLine, UnreadableInputIsAnError) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    fs::permissions(dir_ / "trip.gpx", fs::perms::none);
    ProcessResult run = Convert("trip.gpx");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "wayfold-convert: trip.gpx: Permission denied\n");
    EXPECT_FALSE(fs::exists(dir_ / "trip.csv"));
}

TEST_F(CommandLine, SeveralInputsEachNamedAndEachOwnOutcome) {
    WriteFile(dir_ / "second.GPX", "<wpt lat=\"5\" lon=\"6\"><name>S</name></wpt>");
    ProcessResult run = Convert("trip.gpx missing.gpx second.GPX");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "trip.gpx -> trip.csv\n" + kSummary + "second.GPX -> second.csv\n" +
                           "1 waypoints converted.\n\n" + wayfold::CreditText + "\n");
    EXPECT_EQ(run.err, "wayfold-convert: missing.gpx: No such file or directory\n");
    EXPECT_EQ(ReadFile(dir_ / "second.csv"), "6,5,S\r\n");
}

TEST_F(CommandLine, UsageErrorsExitWithTwo) {
    const char* cases[] = {"", "--bogus trip.gpx", "-o", "-o a.csv trip.gpx trip.gpx", "-o a.csv -o b.csv trip.gpx"};
    for (const char* arguments : cases) {
        ProcessResult run = Convert(arguments);
        EXPECT_EQ(run.status, 2) << arguments;
        EXPECT_NE(run.err.find("wayfold-convert: "), std::string::npos) << arguments;
    }
    EXPECT_FALSE(fs::exists(dir_ / "trip.csv"));
    EXPECT_FALSE(fs::exists(dir_ / "a.csv"));
}

TEST_F(CommandLine, HelpAndVersion) {
    ProcessResult run = Convert("--help");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Usage: wayfold-convert", 0), 0u);
    run = Convert("--version");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "wayfold-convert 1.0\n");
}

}  // namespace
