#include "faults/FaultTable.h"

#include <cstdlib>
#include <initializer_list>
#include <sstream>

namespace faulttable {

const char* const kColumns[] = {"id",        "fault",    "messages",    "result",
                                "posted",    "host log", "destination", "settings",
                                "left over", "document", "exe"};
const size_t kColumnCount = sizeof kColumns / sizeof kColumns[0];

namespace {

struct Refusal {
    std::string why;
};

std::string Trim(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    const size_t end = text.find_last_not_of(" \t\r");
    return text.substr(begin, end - begin + 1);
}

// The cells of a table line "| a | b |"; false when it is no table line.
bool Cells(const std::string& line, std::vector<std::string>* cells) {
    cells->clear();
    const std::string text = Trim(line);
    if (text.size() < 2 || text.front() != '|' || text.back() != '|') return false;
    size_t start = 1;
    for (;;) {
        const size_t bar = text.find('|', start);
        if (bar == std::string::npos) break;
        cells->push_back(Trim(text.substr(start, bar - start)));
        start = bar + 1;
    }
    return true;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find(separator, start);
        parts.push_back(Trim(text.substr(start, at == std::string::npos ? at : at - start)));
        if (at == std::string::npos) break;
        start = at + separator.size();
    }
    return parts;
}

int Number(const std::string& text, const std::string& what) {
    if (text.empty()) throw Refusal{what + " is empty"};
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || value < -2147483647L - 1 || value > 2147483647L) {
        throw Refusal{what + " \"" + text + "\" is no number"};
    }
    return static_cast<int>(value);
}

// "Op", "Op#3" or "Op#last".
void OpAndCall(const std::string& word, Fault* fault) {
    const size_t hash = word.find('#');
    fault->op = word.substr(0, hash);
    if (fault->op.empty()) throw Refusal{"no operation in \"" + word + "\""};
    if (hash == std::string::npos) return;
    const std::string at = word.substr(hash + 1);
    if (at == "last") {
        fault->atLast = true;
        return;
    }
    fault->at = Number(at, "call number");
    if (fault->at < 1) throw Refusal{"call number " + at + " is below 1"};
}

Fault ParseFault(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;) words.push_back(word);
    if (words.empty()) throw Refusal{"an empty fault"};
    Fault fault;
    fault.seam = words[0];
    if (fault.seam == "host") {
        if (words.size() < 2) throw Refusal{"host fault without operation"};
        OpAndCall(words[1], &fault);
        size_t next = 2;
        if (next < words.size() && words[next] == "=") {
            if (next + 1 >= words.size()) throw Refusal{"\"=\" without code"};
            fault.hasCode = true;
            fault.code = Number(words[next + 1], "code");
            next += 2;
        }
        if (next < words.size() && (words[next] == "throw" || words[next] == "crash")) {
            if (fault.hasCode) throw Refusal{words[next] + " answers no code"};
            fault.kind = words[next];
            ++next;
        }
        if (next < words.size() && words[next] == "fatal") {
            if (!fault.hasCode) throw Refusal{"fatal without code"};
            fault.fatal = true;
            ++next;
        }
        if (next != words.size()) throw Refusal{"unexpected \"" + words[next] + "\""};
    } else if (fault.seam == "file") {
        if (words.size() != 3) throw Refusal{"file fault is \"file op[#n] target\""};
        OpAndCall(words[1], &fault);
        fault.target = words[2];
    } else if (fault.seam == "memory") {
        if (words.size() != 2) throw Refusal{"memory fault is \"memory what[#n]\""};
        OpAndCall(words[1], &fault);
        if (fault.atLast) throw Refusal{"memory faults count from the start only"};
    } else if (fault.seam == "absent") {
        if (words.size() != 2) throw Refusal{"absent is \"absent target\""};
        fault.target = words[1];
    } else {
        throw Refusal{"unknown seam \"" + fault.seam + "\""};
    }
    return fault;
}

// "has `text`", "lacks `text`" or "-".
void ParseDocument(const std::string& cell, Row* row) {
    if (cell == "-") return;
    const size_t open = cell.find('`');
    const size_t close = cell.rfind('`');
    if (open == std::string::npos || close <= open) throw Refusal{"document text not in ``"};
    const std::string verb = Trim(cell.substr(0, open));
    const std::string text = cell.substr(open + 1, close - open - 1);
    if (verb == "has") {
        row->documentHas = text;
    } else if (verb == "lacks") {
        row->documentLacks = text;
    } else {
        throw Refusal{"document is \"has `...`\", \"lacks `...`\" or \"-\""};
    }
}

bool OneOf(const std::string& value, std::initializer_list<const char*> allowed) {
    for (const char* a : allowed) {
        if (value == a) return true;
    }
    return false;
}

Row ParseRow(const std::vector<std::string>& cells) {
    Row row;
    row.id = cells[0];
    if (row.id.empty() || row.id.find_first_of(" \t") != std::string::npos) {
        throw Refusal{"id \"" + row.id + "\" must be one word"};
    }
    if (cells[1] != "none") {
        for (const std::string& part : Split(cells[1], "&")) row.faults.push_back(ParseFault(part));
    }
    if (cells[2] != "none") row.messages = Split(cells[2], ",");
    row.result = Number(cells[3], "result");
    if (row.result < 0 || row.result > 2) throw Refusal{"result is 0, 1 or 2"};
    if (!OneOf(cells[4], {"yes", "no"})) throw Refusal{"posted is yes or no"};
    row.posted = cells[4] == "yes";
    std::istringstream log(cells[5] == "none" ? std::string() : cells[5]);
    for (std::string token; log >> token;) row.hostLog.push_back(token);
    row.destination = cells[6];
    if (!OneOf(row.destination, {"unchanged", "same", "written"})) {
        throw Refusal{"destination is unchanged, same or written"};
    }
    row.settings = cells[7];
    if (!OneOf(row.settings, {"unchanged", "written", "reset"})) {
        throw Refusal{"settings is unchanged, written or reset"};
    }
    if (cells[8] != "none") row.leftOver = Split(cells[8], ",");
    ParseDocument(cells[9], &row);
    if (!OneOf(cells[10], {"yes", "no", "only"})) throw Refusal{"exe is yes, no or only"};
    row.exe = cells[10] != "no";
    row.inProcess = cells[10] != "only";
    return row;
}

}  // namespace

bool Parse(const std::string& document, Table* table, std::string* error) {
    *table = Table();
    std::istringstream in(document);
    std::string line;
    int number = 0;
    enum { kNone, kRows, kNotInjected } kind = kNone;
    bool expectRule = false;
    std::vector<std::string> cells;
    try {
        while (std::getline(in, line)) {
            ++number;
            if (!Cells(line, &cells)) {
                if (expectRule) throw Refusal{"table header without its rule line"};
                kind = kNone;
                continue;
            }
            if (expectRule) {
                for (const std::string& cell : cells) {
                    if (cell.empty() || cell.find_first_not_of("-:") != std::string::npos) {
                        throw Refusal{"table header without its rule line"};
                    }
                }
                expectRule = false;
                continue;
            }
            if (kind == kNone) {
                // A table whose first cell is "id" or "call" must be one of ours, whole.
                if (cells.empty()) continue;
                if (cells[0] == "call") {
                    if (cells.size() != 2 || cells[1] != "why it is not injected") {
                        throw Refusal{"header is \"| call | why it is not injected |\""};
                    }
                    kind = kNotInjected;
                    expectRule = true;
                    continue;
                }
                if (cells[0] != "id") continue;
                if (cells.size() != kColumnCount) throw Refusal{"header has wrong columns"};
                for (size_t i = 0; i < kColumnCount; ++i) {
                    if (cells[i] != kColumns[i]) {
                        throw Refusal{"column " + std::to_string(i + 1) + " is \"" + cells[i] +
                                      "\", not \"" + kColumns[i] + "\""};
                    }
                }
                kind = kRows;
                expectRule = true;
                continue;
            }
            if (kind == kNotInjected) {
                if (cells.size() != 2 || cells[0].empty() || cells[1].empty()) {
                    throw Refusal{"a not-injected entry is \"| call | why |\""};
                }
                std::string call;
                for (char c : cells[0]) {
                    if (c != '`') call += c;
                }
                table->notInjected.push_back({Trim(call), cells[1]});
                continue;
            }
            if (cells.size() != kColumnCount) {
                throw Refusal{std::to_string(cells.size()) + " cells, not " +
                              std::to_string(kColumnCount)};
            }
            Row row = ParseRow(cells);
            row.line = number;
            for (const Row& earlier : table->rows) {
                if (earlier.id == row.id) throw Refusal{"id \"" + row.id + "\" used twice"};
            }
            table->rows.push_back(row);
        }
        if (expectRule) throw Refusal{"table header without its rule line"};
    } catch (const Refusal& r) {
        if (error != nullptr) *error = "line " + std::to_string(number) + ": " + r.why;
        *table = Table();
        return false;
    }
    return true;
}

std::string Describe(const Fault& fault) {
    std::string text = fault.seam;
    if (!fault.op.empty()) {
        text += " " + fault.op;
        if (fault.atLast) {
            text += "#last";
        } else if (fault.at != 1) {
            text += "#" + std::to_string(fault.at);
        }
    }
    if (!fault.target.empty()) text += " " + fault.target;
    if (fault.hasCode) text += " = " + std::to_string(fault.code);
    if (!fault.kind.empty()) text += " " + fault.kind;
    if (fault.fatal) text += " fatal";
    return text;
}

}  // namespace faulttable
