// The Convert command with the window replaced by a scripted fake: for every outcome, the
// exact sequence of dialogs (with their settings), message boxes and status texts, and
// what happened to the files.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "conversion_run.h"
#include "convert_command.h"
#include "test_support.h"

namespace wayfold {
namespace {

namespace fs = std::filesystem;

const char kGpx[] =
    "<gpx>\r\n"
    "<wpt lat=\"46.2\" lon=\"6.1\"><name>Jet d'eau</name><desc>Fountain, 140 m</desc></wpt>\r\n"
    "<wpt lat=\"46.3\" lon=\"6.2\"><desc>no name</desc></wpt>\r\n"
    "</gpx>\r\n";
const char kCsv[] = "6.1,46.2,Jet d'eau,\"Fountain, 140 m\"\r\n";

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Plays the user: answers each file dialog from a script and records every call.
class ScriptedUi final : public ConvertCommandUi {
public:
    std::optional<std::string> openChoice, saveChoice;  // nullopt: the user cancels
    std::vector<std::string> calls;

    bool RunOpenDialog(FileDialogSettings& settings) override { return Run("open", settings, openChoice); }
    bool RunSaveDialog(FileDialogSettings& settings) override { return Run("save", settings, saveChoice); }
    void ShowMessageBox(const char* text, const char* caption, unsigned type) override {
        calls.push_back("box " + std::to_string(type) + " [" + caption + "] " + text);
    }
    void SetStatus(const char* text) override { calls.push_back(std::string("status ") + text); }

private:
    bool Run(const char* which, FileDialogSettings& settings, const std::optional<std::string>& choice) {
        calls.push_back(std::string(which) + " flags=" + std::to_string(settings.flags) + " filter=" +
                        settings.filter + " index=" + std::to_string(settings.filterIndex) +
                        " dir=" + settings.initialDir + " ext=" + settings.defaultExt + " name=" + settings.fileName);
        if (!choice) return false;
        EXPECT_LT(choice->size(), sizeof settings.fileName);
        std::strcpy(settings.fileName, choice->c_str());
        return true;
    }
};

class ConvertCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Unique per run: several builds may test at once on one machine.
        dir_ = fs::temp_directory_path() /
               ("wayfold_command_" + std::to_string(std::random_device()()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        WriteBytes(dir_ / "trip.gpx", kGpx);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string At(const std::string& name) const { return (dir_ / name).string(); }

    // Replaces every "@" in `text` with the test folder, followed by a separator.
    std::string Expand(const std::string& text) const {
        std::string result, folder = (dir_ / "").string();
        for (char c : text) {
            if (c == '@') result += folder;
            else result += c;
        }
        return result;
    }

    fs::path dir_;
};

const std::string kOpen = "open flags=4096 filter=GPX Files (*.gpx)|*.gpx| index=0 dir=. ext=gpx name=";
const std::string kSave = "save flags=2058 filter=CSV Files (*.csv)|*.csv| index=0 dir=. ext=.csv name=";

std::string Box(const std::string& caption, const std::string& text) { return "box 16 [" + caption + "] " + text; }
std::string Status(const std::string& text) { return "status " + text; }

using test::SummaryText;

TEST_F(ConvertCommandTest, EveryOutcomeInOrder) {
    fs::create_directories(dir_ / "folder.gpx");
    fs::create_directories(dir_ / "old.gpx");
    WriteBytes(dir_ / "old.gpx" / "notes.txt", kGpx);
    WriteBytes(dir_ / "trip.Gpx", kGpx);
    const std::string summary = SummaryText(1, 1, 0);

    struct Case {
        const char* title;
        std::optional<std::string> open, save;  // "@" is the test folder
        std::vector<std::string> calls;
        const char* outputFile;                 // must exist afterwards with kCsv; nullptr: none written
    } cases[] = {
        {"open dialog cancelled", std::nullopt, std::nullopt, {kOpen, Status("No input file chosen.")}, nullptr},
        {"not a GPX name", "@trip.Gpx", std::nullopt,
         {kOpen, Box("@trip.Gpx", "This is not a GPX file."), Status("Not a GPX file.")}, nullptr},
        {"input missing", "@gone.gpx", std::nullopt,
         {kOpen, Box("@gone.gpx", std::strerror(ENOENT)), Status("Could not open the file.")}, nullptr},
        {"input is a folder", "@folder.gpx", std::nullopt,
         {kOpen, Box("@folder.gpx", std::strerror(EISDIR)), Status("Could not open the file.")}, nullptr},
        {"save dialog cancelled", "@trip.gpx", std::nullopt,
         {kOpen, kSave + "@trip.csv", Status("No output file chosen.")}, nullptr},
        {"output folder missing", "@trip.gpx", "@none/trip.csv",
         {kOpen, kSave + "@trip.csv", Box("@none/trip.csv", std::strerror(ENOENT)),
          Status("Could not open the output file.")},
         nullptr},
        {"output is the input", "@trip.gpx", "@trip.gpx",
         {kOpen, kSave + "@trip.csv", Box("@trip.gpx", "The output file is the input file."),
          Status("Could not open the output file.")},
         nullptr},
        {"output is the input, spelt otherwise", "@trip.gpx", "@old.gpx/../trip.gpx",
         {kOpen, kSave + "@trip.csv", Box("@old.gpx/../trip.gpx", "The output file is the input file."),
          Status("Could not open the output file.")},
         nullptr},
        {"conversion", "@trip.gpx", "@trip.csv",
         {kOpen, kSave + "@trip.csv", Status("Working..."), Status(summary)}, "trip.csv"},
        {"name cut at a folder holding .gpx", "@old.gpx/notes.txt", "@old.csv",
         {kOpen, kSave + "@old.csv", Status("Working..."), Status(summary)}, "old.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.title);
        fs::remove(dir_ / "trip.csv");
        fs::remove(dir_ / "old.csv");
        ScriptedUi ui;
        if (c.open) ui.openChoice = Expand(*c.open);
        if (c.save) ui.saveChoice = Expand(*c.save);

        RunConvertCommand(ui);

        ASSERT_EQ(ui.calls.size(), c.calls.size()) << ::testing::PrintToString(ui.calls);
        for (std::size_t i = 0; i < c.calls.size(); ++i) EXPECT_EQ(ui.calls[i], Expand(c.calls[i]));
        EXPECT_EQ(ReadBytes(dir_ / "trip.gpx"), kGpx) << "the input is never changed";
        if (c.outputFile) {
            EXPECT_EQ(ReadBytes(dir_ / c.outputFile), kCsv);
        } else {
            EXPECT_FALSE(fs::exists(dir_ / "trip.csv"));
            EXPECT_FALSE(fs::exists(dir_ / "old.csv"));
            EXPECT_FALSE(fs::exists(dir_ / "none"));
        }
    }
}

TEST_F(ConvertCommandTest, ExistingOutputIsReplaced) {
    WriteBytes(dir_ / "trip.csv", std::string(100000, 'x'));
    ScriptedUi ui;
    ui.openChoice = At("trip.gpx");
    ui.saveChoice = At("trip.csv");
    RunConvertCommand(ui);
    EXPECT_EQ(ReadBytes(dir_ / "trip.csv"), kCsv);
}

#ifndef _WIN32
// A read error and a full disk end the run early: no summary, but the reason and the file.
TEST_F(ConvertCommandTest, ReadAndWriteFailuresAreReported) {
    fs::create_symlink("/proc/self/mem", dir_ / "unreadable.gpx");  // reading it fails with EIO
    fs::create_symlink("/dev/full", dir_ / "full.csv");               // writing it fails with ENOSPC
    struct Case {
        const char* input;
        const char* output;
        std::vector<std::string> calls;
    } cases[] = {
        {"unreadable.gpx", "out.csv",
         {Status("Working..."), Box("@unreadable.gpx", std::strerror(EIO)), Status("Could not read the file.")}},
        {"trip.gpx", "full.csv",
         {Status("Working..."), Box("@full.csv", std::strerror(ENOSPC)), Status("Could not write the output file.")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        ScriptedUi ui;
        ui.openChoice = At(c.input);
        ui.saveChoice = At(c.output);
        RunConvertCommand(ui);
        ASSERT_EQ(ui.calls.size(), 2 + c.calls.size()) << ::testing::PrintToString(ui.calls);
        for (std::size_t i = 0; i < c.calls.size(); ++i) EXPECT_EQ(ui.calls[2 + i], Expand(c.calls[i]));
    }
}

TEST_F(ConvertCommandTest, OutputThatIsAHardLinkToTheInputIsRefused) {
    fs::create_hard_link(dir_ / "trip.gpx", dir_ / "linked.csv");
    ScriptedUi ui;
    ui.openChoice = At("trip.gpx");
    ui.saveChoice = At("linked.csv");
    RunConvertCommand(ui);
    ASSERT_EQ(ui.calls.size(), 4u);
    EXPECT_EQ(ui.calls[2], Box(At("linked.csv"), "The output file is the input file."));
    EXPECT_EQ(ReadBytes(dir_ / "trip.gpx"), kGpx);
}
#endif

}  // namespace
}  // namespace wayfold
