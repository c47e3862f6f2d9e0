// Test and tool interface of the host stand-in: choose the host data, forget what the
// host was asked, and read back what it was asked. The host classes themselves are
// declared in host/QelHost.h. On Windows the stand-in is a DLL of its own, and this
// interface is exported from it beside the host classes.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/Ui.h"
#include "host/QelHost.h"

namespace hoststandin {

// Replaces the host data with the file at `path` or with a JSON text (format:
// docs/host-data.md). Returns "" on success, else why the data was refused; refused
// data leaves the previous data in place. Call counters and the log are kept.
QEL_API std::string LoadFromFile(const std::string& path);
QEL_API std::string LoadFromString(const std::string& json);

// Drops the planned faults of the loaded data: for a host that shows the data the program
// will see without failing itself. `throwsAndCrashesOnly` keeps the faults that answer a
// code, for a caller that must survive every call.
QEL_API void ForgetFaults(bool throwsAndCrashesOnly = false);

// True once data was loaded (through the calls above or by ClQelConnect::Initiate).
QEL_API bool IsLoaded();

// Forgets the data (the host then answers as for `{"dataSets": []}` until a load),
// the call counters, the log, the open cursors and the connection settings. Rule and
// period objects still alive stay counted.
QEL_API void Reset();

// The file ClQelConnect::Initiate loads when nothing was loaded: $VELNOR_HOST_DATA, else
// HostData.json beside the running executable.
QEL_API std::string DefaultDataFile();

// One record of what the program asked of the host. Texts are the program's Shift_JIS
// bytes; numbers are decimal.
//   DispMsg       caption, type, text
//   FatalError    code, text           (CheckFatalErrorWithMsg with a fatal code)
//   SetLastError  code, module, line
//   LogOut, Terminate, Release         (no fields)
//   Leak          rules, enumerations, cursors, periods   (before Release, see below)
//   LoadError     file, reason         (Initiate could not load the host data file)
struct LogRecord {
    std::string kind;
    std::vector<std::string> fields;
};
QEL_API const std::vector<LogRecord>& Log();

// The record as one line of $VELNOR_HOST_LOG (UTF-8, without the line end).
QEL_API std::string FormatLogLine(const LogRecord& record);

// How often the program called a host operation since the last Reset, by the operation's
// name ("Initiate", "WalkDat", "MoveFinish", ...; ClSetMgr::GetSetObject is "GetEraSet").
QEL_API int CallCount(const std::string& op);
// Every operation counted since the last Reset, with its count.
QEL_API std::map<std::string, int> CallCounts();

// The operation names a host data file's faults may name, in the format's order.
QEL_API const std::vector<std::string>& FaultOps();

// Objects and cursors the program holds right now. ClQelConnect::Release logs a "Leak"
// record with these four counts (rules, enumerations, cursors, periods) when any is
// not 0, so that a whole run under Wine shows what it left behind.
QEL_API int LiveRuleObjects();    // ClRuleGenkashokyaku constructed and not destroyed
QEL_API int OpenEnumerations();   // MoveReady succeeded, no MoveFinish or destruction since
QEL_API int OpenCursors();        // data-set and era cursors not released
QEL_API int LivePeriodObjects();  // GetQelPeriod results not released

// Values the program handed to the connection (-1 before any call).
QEL_API int AppType();
QEL_API int UseDataType();

// UTF-8 to code page 932 with the same result on every platform. False when the text is
// not UTF-8 or holds a character without a Shift_JIS form; `badCodePoint` then receives
// that character (-1 for text that is not UTF-8).
QEL_API bool Utf8ToSjis(const std::string& utf8, std::string* sjis, long* badCodePoint = nullptr);

// Code page 932 to UTF-8 for the log: '\', tab, line feed and carriage return become \\,
// \t, \n and \r; other control bytes and bytes that are no character become \xNN.
QEL_API std::string SjisToLogText(const std::string& sjis);

// The host shows its own messages (DispMsg, a fatal error, a host data file that cannot
// be loaded) through the stand-in's message-box seam, which on Windows lives in the DLL,
// apart from the program's. Returns the previous hook (null: the platform's).
QEL_API velnor::MessageBoxFn SetMessageBoxHook(velnor::MessageBoxFn hook);

}  // namespace hoststandin
