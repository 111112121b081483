#include "convert_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "file_conversion.h"

namespace wayfold {
namespace {

// Closes its file when the command ends, whichever way it ends.
class OpenFile {
public:
    OpenFile(const char* path, const char* mode) {
        errno = 0;
        file_ = std::fopen(path, mode);
        errorNumber_ = errno;  // taken at once, before anything can change it
    }
    ~OpenFile() { Close(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    std::FILE* get() const { return file_; }
    int errorNumber() const { return errorNumber_; }

    // Closes the file now; false, with errno, when buffered output could not be written.
    bool Close() {
        if (!file_) return true;
        std::FILE* file = file_;
        file_ = nullptr;
        errno = 0;
        return std::fclose(file) == 0;
    }

private:
    std::FILE* file_;
    int errorNumber_;
};

const char* ErrorText(int errorNumber, const char* fallback) {
    return errorNumber != 0 ? std::strerror(errorNumber) : fallback;
}

void Fail(ConvertCommandUi& ui, const char* reason, const char* path, const char* status) {
    ui.ShowMessageBox(reason, path, kStopBox);
    ui.SetStatus(status);
}

}  // namespace

void RunConvertCommand(ConvertCommandUi& ui) {
    namespace text = convert_text;

    FileDialogSettings openSettings;
    openSettings.flags = kFileMustExist;
    openSettings.filter = "GPX Files (*.gpx)|*.gpx|";
    openSettings.filterIndex = 0;
    openSettings.initialDir = ".";
    openSettings.defaultExt = "gpx";
    if (!ui.RunOpenDialog(openSettings)) {
        ui.SetStatus(text::kNoInput);
        return;
    }
    const char* inputPath = openSettings.fileName;

    std::size_t extensionAt = FindGpxExtension(inputPath);
    if (extensionAt == kNoGpxExtension) {
        Fail(ui, text::kNotGpx, inputPath, text::kNotGpxStatus);
        return;
    }

    // Opening a folder for reading succeeds on some systems; it is no input file.
    std::error_code ignored;
    if (std::filesystem::is_directory(inputPath, ignored)) {
        Fail(ui, std::strerror(EISDIR), inputPath, text::kCannotOpenInput);
        return;
    }
    // Binary: the conversion core applies the input rules (CR, 0x1A) itself.
    OpenFile input(inputPath, "rb");
    if (!input.get()) {
        Fail(ui, ErrorText(input.errorNumber(), text::kCannotOpenInput), inputPath, text::kCannotOpenInput);
        return;
    }

    FileDialogSettings saveSettings;
    saveSettings.flags = kOverwritePrompt | kNoChangeDir | kPathMustExist;
    saveSettings.filter = "CSV Files (*.csv)|*.csv|";
    saveSettings.filterIndex = 0;
    saveSettings.initialDir = ".";
    saveSettings.defaultExt = ".csv";
    std::string proposed = ProposeOutputName(inputPath, extensionAt);  // never longer than the input path
    std::strcpy(saveSettings.fileName, proposed.c_str());
    if (!ui.RunSaveDialog(saveSettings)) {
        ui.SetStatus(text::kNoOutput);
        return;
    }
    const char* outputPath = saveSettings.fileName;

    // Opening the input file itself for writing would empty it before it is read.
    if (IsSameFile(inputPath, outputPath)) {
        Fail(ui, text::kOutputIsInput, outputPath, text::kCannotOpenOutput);
        return;
    }
    OpenFile output(outputPath, "wb");
    if (!output.get()) {
        Fail(ui, ErrorText(output.errorNumber(), text::kCannotOpenOutput), outputPath, text::kCannotOpenOutput);
        return;
    }

    ui.SetStatus(text::kWorking);
    WaypointFields fields;
    TagBuffer tag;
    FileConversionResult result = ConvertFile(input.get(), output.get(), fields, tag);
    if (!output.Close() && !result.writeFailed) {
        result.writeFailed = true;
        result.writeErrorNumber = errno;
    }

    if (!result.readFailed && !result.writeFailed) {
        ui.SetStatus(tag.text);
        return;
    }
    // The CSV file is incomplete: say why, and never show the summary as if all went well.
    if (result.readFailed) {
        ui.ShowMessageBox(ErrorText(result.readErrorNumber, text::kCannotRead), inputPath, kStopBox);
    }
    if (result.writeFailed) {
        ui.ShowMessageBox(ErrorText(result.writeErrorNumber, text::kCannotWrite), outputPath, kStopBox);
    }
    ui.SetStatus(result.readFailed ? text::kCannotRead : text::kCannotWrite);
}

}  // namespace wayfold
