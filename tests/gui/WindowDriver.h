// Drives windows of other processes from a test under Wine: finds the message boxes a
// program shows, reads them and presses their buttons, and starts programs with their
// standard output in a file. Texts are code page 932 bytes, as the program shows them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace guidriver {

// Visible top-level dialog windows (class "#32770") of processes other than this one.
std::vector<HWND> ForeignDialogs();

// Title of a window of any process.
std::string WindowText(HWND window);

// True for a message box: a dialog with a text and only the standard buttons.
bool IsMessageBox(HWND dialog);

// The text of a message box.
std::string MessageBoxText(HWND box);

// Presses button `id` of a dialog as a click would. False when there is no such button.
bool PressButton(HWND dialog, int id);

// A message box seen and answered.
struct SeenBox {
    std::string caption;
    std::string text;
    bool hasOwner;
};

// Answers every message box of other processes that shows up while `process` runs: the
// next answer of `answers` (IDOK when they run out). Returns false when the process did
// not end within `timeoutMs`; it is then killed.
bool AnswerBoxesUntilExit(HANDLE process, DWORD timeoutMs, const std::vector<int>& answers,
                          std::vector<SeenBox>* seen);

// Starts `commandLine` with standard output and error going to `outputFile`.
HANDLE StartProcess(const std::string& commandLine, const std::string& outputFile);

std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);

}  // namespace guidriver
