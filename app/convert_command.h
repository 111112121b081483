// The converter dialog's Convert command as plain C++: which file dialogs it shows with
// which settings, the name check, the files it opens and when, the message boxes and the
// status texts, in their order. The window side (file dialogs, message box, status
// control) sits behind ConvertCommandUi, so the whole command also runs in a test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace wayfold {

// The settings of one file dialog, as the command hands them to the platform's dialog.
struct FileDialogSettings {
    static constexpr std::size_t kFileNameSize = 260;  // terminator included

    std::uint32_t flags = 0;
    const char* filter = "";  // "Description|pattern|" pairs
    int filterIndex = 0;
    const char* initialDir = "";
    const char* defaultExt = "";
    char fileName[kFileNameSize] = {};  // in: the proposed name; out: the chosen path
};

// The dialog flag values the command passes (the platform's OFN_ values).
constexpr std::uint32_t kFileMustExist = 0x1000;  // OFN_FILEMUSTEXIST
constexpr std::uint32_t kOverwritePrompt = 0x0002;  // OFN_OVERWRITEPROMPT
constexpr std::uint32_t kNoChangeDir = 0x0008;      // OFN_NOCHANGEDIR
constexpr std::uint32_t kPathMustExist = 0x0800;    // OFN_PATHMUSTEXIST

// A stop icon and one OK button (MB_ICONSTOP | MB_OK).
constexpr unsigned kStopBox = 0x10;

// The texts of the command.
namespace convert_text {
constexpr char kNoInput[] = "No input file chosen.";
constexpr char kNotGpx[] = "This is not a GPX file.";
constexpr char kNotGpxStatus[] = "Not a GPX file.";
constexpr char kCannotOpenInput[] = "Could not open the file.";
constexpr char kNoOutput[] = "No output file chosen.";
constexpr char kCannotOpenOutput[] = "Could not open the output file.";
constexpr char kOutputIsInput[] = "The output file is the input file.";
constexpr char kWorking[] = "Working...";
constexpr char kCannotRead[] = "Could not read the file.";
constexpr char kCannotWrite[] = "Could not write the output file.";
}  // namespace convert_text

// What the command needs of the window it runs in.
class ConvertCommandUi {
public:
    // Each runs its modal dialog over `settings`; true only when the user confirmed a
    // path, which is then in settings.fileName.
    virtual bool RunOpenDialog(FileDialogSettings& settings) = 0;
    virtual bool RunSaveDialog(FileDialogSettings& settings) = 0;
    // A modal message box; returns when the user has dismissed it.
    virtual void ShowMessageBox(const char* text, const char* caption, unsigned type) = 0;
    // Replaces the status text, whole.
    virtual void SetStatus(const char* text) = 0;

protected:
    ~ConvertCommandUi() = default;
};

// One Convert command, from the open dialog to exactly one outcome in the status text.
void RunConvertCommand(ConvertCommandUi& ui);

}  // namespace wayfold
