// The fault injection table of docs/fault-matrix.md, read as the tests use it: every
// table under the fixed header below is a list of injection cases, one per row.
#pragma once

#include <string>
#include <vector>

namespace faulttable {

// The header every table of the document has, cell by cell.
extern const char* const kColumns[];
extern const size_t kColumnCount;

// One injected failure (or missing file) of a row's `fault` cell:
//   host Op[#n] [= code] [fatal]    the n-th call of a host operation answers `code`;
//                                   `fatal` also lists the code in the host's fatalCodes
//   host Op[#n] throw|crash         the n-th call throws a C++ exception or crashes
//   file op[#n|#last] target        the n-th (or last) call of a file operation on target
//   memory what[#n]                 the n-th allocation of `what` fails
//   absent target                   the file or folder is not there when the run starts
struct Fault {
    std::string seam;    // host, file, memory, absent
    std::string op;      // host operation, file operation or memory user; empty for absent
    std::string target;  // file and absent: which file or folder
    int at = 1;
    bool atLast = false;
    bool hasCode = false;
    int code = 0;
    bool fatal = false;
    std::string kind;  // host: empty (answers a code), "throw" or "crash"
};

struct Row {
    int line = 0;  // in the document, for messages
    std::string id;
    std::vector<Fault> faults;          // empty: the run as it is
    std::vector<std::string> messages;  // message keys in the order shown; empty: none
    int result = 0;
    bool posted = false;
    std::vector<std::string> hostLog;   // tokens: Kind or Kind(code); empty: none
    std::string destination;            // unchanged, same, written
    std::string settings;               // unchanged, written, reset
    std::vector<std::string> leftOver;  // targets whose files or folders stay behind
    std::string documentHas;            // text the written document holds
    std::string documentLacks;          // text it does not hold
    bool exe = false;                   // also run through the real program
    bool inProcess = true;              // false: only through the real program
};

// A call the program makes that no row injects, and why ("| call | why it is not
// injected |" tables; the call is "host Op" or "file op target").
struct NotInjected {
    std::string call;
    std::string why;
};

struct Table {
    std::vector<Row> rows;
    std::vector<NotInjected> notInjected;
};

// The rows of every table with the fixed header and the entries of every not-injected
// table. False with `error` ("line N: why") when a table or a cell does not follow the
// format.
bool Parse(const std::string& document, Table* table, std::string* error);

// The fault cell of a row again, for test names and messages.
std::string Describe(const Fault& fault);

}  // namespace faulttable
