// One whole run of the program for a row of the fault table: the folders and files it
// starts from, the faults injected, and what came out. A run goes either through the
// application object in this process (message boxes answered by the seam's hook, the
// conditions dialog confirmed as soon as it shows) or through the real program started by
// the host simulator (its windows answered by the window driver, faults by environment).
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "faults/FaultTable.h"
#include "support/Scratch.h"

namespace faultmatrix {

// The files and folders of one run, made when constructed and removed when destroyed.
//   <root>SUPPORT.INF          product name and version (the current folder of the run)
//   <root>out\export.xml       the destination, an old document
//   <root>env\VelnorPro.env    the remembered-destination file: this user's entry, then
//                              another user's line
//   the definition file        MerovinDef.ini level 2 beside the program
// An "absent" fault leaves one of them out; "absent dest-folder" and "absent env-folder"
// move the destination and the host's folder of type 1 into folders that do not exist.
class RunFolder {
  public:
    // `programFolder`: where the program runs from (its definition file goes there).
    RunFolder(const std::vector<faulttable::Fault>& faults, const std::string& programFolder);
    ~RunFolder();
    RunFolder(const RunFolder&) = delete;
    RunFolder& operator=(const RunFolder&) = delete;

    bool Absent(const std::string& target) const { return absent_.count(target) != 0; }

    // The text the file seam sees in every path of `target` (its path part for a plan);
    // empty for a target the run does not know.
    std::string PathPart(const std::string& target) const;
    // The target of a path the seam saw: the one with the longest path part in it.
    std::string TargetOf(const std::string& path) const;
    static const std::vector<std::string>& Targets();

    // The host data file's text with these host faults.
    std::string HostData(const std::vector<faulttable::Fault>& faults,
                         const std::map<std::string, int>& lastCalls) const;
    // The settings file as a successful run leaves it: this user's entry moved to the end
    // with the destination remembered before, or with none (`reset`).
    std::string ExpectedSettings(bool reset) const;

    std::string root, destination, destinationFolder, envFolder, envFile, definition;
    bool destinationExisted = false, settingsExisted = false;
    std::string oldDestination, oldSettings;
    std::vector<std::string> initialFolders;

  private:
    velnor_test::ScratchFolder scratch_{"fm"};
    std::set<std::string> absent_;
    std::map<std::string, std::string> parts_;
    std::string remembered_;
};

struct Box {
    std::string text, caption;
    unsigned type = 0;  // in this process only
    bool hostEnabled = false;
};

struct SeamCall {
    std::string op, target, path;
    bool failed;
};

struct Outcome {
    int resultCode = -1;
    int posts = 0;
    unsigned long long wParam = 0;
    long long lParam = 0;
    bool disabledMeanwhile = false;
    bool enabledAtEnd = false;
    std::vector<Box> boxes;
    std::vector<std::string> hostLog;  // tokens as the table writes them
    std::vector<std::string> modules;  // of every SetLastError
    bool destinationExists = false, settingsExists = false;
    std::string destination, settings;
    std::vector<std::string> leftOver;     // targets of files and folders left behind
    std::vector<std::string> strayPaths;   // those files and folders
    std::vector<std::string> lockedFiles;  // files of the run still held open
    std::vector<SeamCall> fileCalls;       // in this process only
    std::map<std::string, int> hostCalls;  // in this process only
    int leakedObjects = 0;                 // in this process only
    int supportAllocations = 0;            // in this process only
    std::string report;                    // of the host simulator
    std::string root;                      // the run's folder

    // How the run started, and the settings file a successful run leaves.
    bool destinationExisted = false, settingsExisted = false;
    std::string oldDestination, oldSettings, settingsKept, settingsReset;
};

// The host log record as a token of the table's host log column.
std::string LogToken(const std::string& kind, const std::vector<std::string>& fields);

// How often each call happens in a run without faults from these folders: "host Op" and
// "file op target" (for #last).
std::map<std::string, int> CleanRunCounts(const std::vector<faulttable::Fault>& faults);
// The document of such a run.
std::string CleanRunDocument(const std::vector<faulttable::Fault>& faults);

// The row's run in this process.
Outcome RunInProcess(const faulttable::Row& row);
// The row's run through the host simulator and a copy of VelnorPro.exe.
Outcome RunProgram(const faulttable::Row& row);

// The folder of this test program, where the in-process runs find their definition file.
std::string ProgramFolder();

}  // namespace faultmatrix
