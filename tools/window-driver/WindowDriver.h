// Drives windows of other processes from a test under Wine: finds the message boxes a
// program shows, reads them and presses their buttons, and starts programs with their
// standard output in a file. Texts are code page 932 bytes, as the program shows them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace guidriver {

// Visible top-level dialog windows (class "#32770") of processes other than this one.
std::vector<HWND> ForeignDialogs();

// The id of `process` and the ids of every process started from it, directly or not.
// Wine shares one desktop among all programs of a prefix, so a test that started a
// program looks only at the windows of that program's processes.
std::vector<DWORD> ProcessTree(HANDLE process);

// Visible top-level dialog windows of the processes `ids`.
std::vector<HWND> DialogsOf(const std::vector<DWORD>& ids);

// The first window of the processes `ids`, top-level or child, whose title starts with
// `prefix`; null when there is none.
HWND FindWindowOf(const std::vector<DWORD>& ids, const std::string& prefix);

// Title or text of a window of any process, read without a message: the program may be
// busy and not reading its messages.
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

// Offers every dialog of `process` and of the processes it started that shows up while
// `process` runs to `onDialog`, again at every poll until it returns true (a dialog may be
// seen before it is filled). Returns false when the process did not end within
// `timeoutMs`; it is then left running.
bool DriveUntilExit(HANDLE process, DWORD timeoutMs,
                    const std::function<bool(HWND dialog)>& onDialog);

// The first window of another process, top-level or child, whose title starts with
// `prefix`; null when there is none.
HWND FindForeignWindow(const std::string& prefix);

// What windows of other processes show right now, for the message of a failed test.
std::string DescribeForeignWindows();

// Presses `key` as the keyboard would, with `window` of another process made the
// foreground window, until `answered` returns true; again every two seconds, `attempts`
// times at most. Wine hands keyboard input to the window it takes for the foreground, which
// a window that has just been shown may not yet be. False when it never answered.
bool PressKeyUntil(HWND window, WORD key, const std::function<bool()>& answered, int attempts = 4);

// Reads a message box, answers it with `answer` and returns what it showed.
SeenBox AnswerMessageBox(HWND box, int answer);

// Answers every message box of other processes that shows up while `process` runs with
// the next answer of `answers` (IDOK when they run out), as DriveUntilExit; a process
// still running at the end of `timeoutMs` is killed.
bool AnswerBoxesUntilExit(HANDLE process, DWORD timeoutMs, const std::vector<int>& answers,
                          std::vector<SeenBox>* seen);

// Starts `commandLine` with standard output and error going to `outputFile`.
HANDLE StartProcess(const std::string& commandLine, const std::string& outputFile);

// Ends what StartProcess started: a process that did not end by itself (`ended` false) is
// terminated first. Returns its exit code and closes the handle.
DWORD EndProcess(HANDLE process, bool ended);

}  // namespace guidriver
