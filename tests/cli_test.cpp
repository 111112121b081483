// wayfold-convert run as a real process: arguments, files, messages and exit status.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
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
