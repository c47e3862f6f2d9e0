// velnor-export: the program's aggregation and export on a host data file, without
// dialogs. Selects the data set as the program does, refuses what the program refuses,
// and writes the document with the same code.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "aggregation/AssetAggregator.h"
#include "app/SelectedData.h"
#include "common/Business.h"
#include "common/Edition.h"
#include "common/File.h"
#include "common/Ui.h"
#include "export/XmlExport.h"
#include "host/QelHost.h"
#include "host_standin/HostStandIn.h"
#include "tools/velnor-export/ConsoleText.h"
#include "tools/velnor-export/ExportFiles.h"

namespace {

const char kUsage[] =
    "Usage: velnor-export --host-data FILE --business-kind 1|2|3 --output FILE\n"
    "                     [--function-id N] [--edition pro|std] [--max-host-data BYTES]\n"
    "\n"
    "Writes the depreciation export of the company data that the host data file's user\n"
    "has selected, exactly as the link program does, without its dialogs.\n"
    "\n"
    "  --host-data FILE      host data file (UTF-8 JSON, see docs/host-data.md)\n"
    "  --business-kind K     1 general use only, 2 real estate only, 3 both; it must be\n"
    "                        one the data offers (a data set of one kind offers only that)\n"
    "  --output FILE         the XML file to write; an existing file is replaced only\n"
    "                        once the whole document is written\n"
    "  --function-id N       FUNCTIONID of the document, kept in 16 bits as the program\n"
    "                        keeps it (65535 is written as -1); default 2\n"
    "  --edition pro|std     edition whose defaults the document names; default pro\n"
    "  --max-host-data BYTES the largest host data file to read; default 1073741824\n"
    "                        (1 GiB)\n"
    "  --help                show this text\n"
    "\n"
    "The output must not be the host data file itself (by any name or link), and the\n"
    "host data file must be a plain file; both are refused before anything is written.\n"
    "SUPPORT.INF is read from the current directory, as the program reads it.\n"
    "Exit status: 0 the document was written; 1 the export was refused or failed;\n"
    "2 the command line was wrong.\n";

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr uint64_t kDefaultMaxHostData = uint64_t{1} << 30;

void Fail(const std::string& text) { std::fprintf(stderr, "velnor-export: %s\n", text.c_str()); }

int UsageError(const std::string& text) {
    Fail(text);
    std::fprintf(stderr, "Try 'velnor-export --help'.\n");
    return kExitUsage;
}

// Messages the program would show in a message box go to standard error.
int MessageToStderr(velnor::WindowHandle, const char* text, const char* caption, unsigned type) {
    std::fprintf(stderr, "velnor-export: %s: %s\n", velnor::ConsoleText(caption).c_str(),
                 velnor::ConsoleText(text).c_str());
    return (type & 0xF) == velnor::kMbYesNo ? velnor::kIdNo : velnor::kIdOk;
}

bool ParseInt(const char* text, long long* value) {
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno != 0 || *end != '\0' || v < -2147483648LL || v > 2147483647LL) return false;
    *value = v;
    return true;
}

// A count of bytes: decimal digits only, within 64 bits.
bool ParseBytes(const char* text, uint64_t* value) {
    if (text == nullptr || *text < '0' || *text > '9') return false;
    char* end = nullptr;
    errno = 0;
    const unsigned long long v = std::strtoull(text, &end, 10);
    if (errno != 0 || *end != '\0') return false;
    *value = v;
    return true;
}

struct Options {
    std::string hostData;
    std::string output;
    uint64_t maxHostData = kDefaultMaxHostData;
    int16_t businessKind = BUSINESS_NONE;
    short functionId = 2;
    const velnor::Edition* edition = &velnor::kEditionPro;
};

// 0 to go on, else the exit status (after --help: -1, exit 0).
int ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return -1;
        }
        const bool known = arg == "--host-data" || arg == "--business-kind" || arg == "--output" ||
                           arg == "--function-id" || arg == "--edition" || arg == "--max-host-data";
        if (!known) return UsageError("unknown option '" + arg + "'");
        if (i + 1 >= argc) return UsageError("option '" + arg + "' needs a value");
        const char* value = argv[++i];
        long long number = 0;
        if (arg == "--host-data") {
            o->hostData = value;
        } else if (arg == "--output") {
            o->output = value;
        } else if (arg == "--max-host-data") {
            if (!ParseBytes(value, &o->maxHostData)) {
                return UsageError("--max-host-data must be a number of bytes, not '" +
                                  std::string(value) + "'");
            }
        } else if (arg == "--business-kind") {
            if (!ParseInt(value, &number) || number < 1 || number > 3) {
                return UsageError("--business-kind must be 1, 2 or 3, not '" + std::string(value) +
                                  "'");
            }
            o->businessKind = static_cast<int16_t>(number);
        } else if (arg == "--function-id") {
            if (!ParseInt(value, &number)) {
                return UsageError("--function-id must be a whole number, not '" +
                                  std::string(value) + "'");
            }
            o->functionId = static_cast<short>(static_cast<uint16_t>(number & 0xFFFF));
        } else {
            if (std::strcmp(value, "pro") == 0) {
                o->edition = &velnor::kEditionPro;
            } else if (std::strcmp(value, "std") == 0) {
                o->edition = &velnor::kEditionStd;
            } else {
                return UsageError("--edition must be pro or std, not '" + std::string(value) + "'");
            }
        }
    }
    if (o->hostData.empty()) return UsageError("--host-data is required");
    if (o->businessKind == BUSINESS_NONE) return UsageError("--business-kind is required");
    if (o->output.empty()) return UsageError("--output is required");
    return 0;
}

// Which categories the data offers, as the conditions dialog enables them.
bool CategoryOffered(uint8_t businessKinds, int16_t category) {
    if (businessKinds == 1) return category == BUSINESS_GENERAL;
    if (businessKinds == 2) return category == BUSINESS_REALESTATE;
    return true;
}

// Reads the host data file whole into `text`: "" when it was read, else why it was
// refused. A pipe or a device is never read from (it might never end) nor waited for, nor
// a file larger than the limit; and the output must not be this very file, which the
// export would otherwise replace with its document.
std::string ReadHostData(const Options& o, std::string* text) {
    const char* path = o.hostData.c_str();
    if (velnor::PathExists(path) && !velnor::IsRegularFilePath(path)) {
        return "it is not a plain file";
    }
    velnor::ClFile file;
    if (!file.Open(path, velnor::ClFile::kRead | velnor::ClFile::kShareDenyNone |
                             velnor::ClFile::kRegularOnly)) {
        return "it cannot be opened: " + velnor_export::SystemErrorCause(velnor::LastFileError());
    }
    try {
        const uint64_t size = file.GetLength();
        const std::string tooLarge = "it is larger than " + std::to_string(o.maxHostData) +
                                     " bytes, the limit (--max-host-data)";
        if (size > o.maxHostData) return tooLarge;
        velnor_export::FileIdentity data, output;
        const std::string destination = velnor::FinalPath(o.output.c_str());
        if (velnor_export::IdentityOf(path, &data) &&
            velnor_export::IdentityOf(destination.c_str(), &output) && output == data) {
            return "it is the output file " + o.output + " itself; nothing was written";
        }

        // The size known, the text takes its memory in one piece; a file that grows while
        // it is read is read on only up to the limit.
        if (size > text->max_size()) throw std::bad_alloc();  // beyond a 32-bit address space
        text->assign(static_cast<size_t>(size), '\0');
        size_t got = file.Read(&(*text)[0], text->size());
        while (got == text->size()) {
            if (text->size() >= o.maxHostData) {
                char probe;
                if (file.Read(&probe, 1) > 0) return tooLarge;
                break;
            }
            const uint64_t room = o.maxHostData - text->size();
            text->resize(text->size() + static_cast<size_t>(room < 65536 ? room : 65536));
            const size_t n = file.Read(&(*text)[got], text->size() - got);
            if (n == 0) break;
            got += n;
        }
        text->resize(got);
    } catch (const velnor::ClFileException& e) {
        return "it cannot be read: " + velnor_export::SystemErrorCause(e.error());
    }
    return std::string();
}

// Why writing the document failed, in words, and what became of the destination.
std::string WriteFailure(const std::string& output, const std::string& destination, bool hadOldFile,
                         int error) {
    // The file layer's own refusals (a dangling link, a folder or a device in the way)
    // say the most; then what can be seen without writing; then the system's error.
    std::string cause;
    if (error < 0) cause = velnor::DescribeFileError(error);
    if (cause.empty())
        cause = velnor_export::OutputObstacle(destination.empty() ? output : destination);
    if (cause.empty()) {
        cause = error != 0 ? velnor_export::SystemErrorCause(error) : "the cause is unknown";
    }
    const std::string& left = velnor::LeftTempFile();
    return "writing " + output + " failed: " + cause +
           (left.empty() ? "" : "; the temporary file " + left + " may be left behind") +
           (hadOldFile ? "; the old file was left as it was" : "");
}

int Run(const Options& o) {
    std::string text;
    std::string why = ReadHostData(o, &text);
    if (why.empty()) why = hoststandin::LoadFromString(text);
    if (!why.empty()) {
        Fail("cannot use the host data file " + o.hostData + ": " + why);
        return kExitFailed;
    }
    std::string().swap(text);
    ClQelConnect* connect = ClQelConnect::Inst();
    connect->m_strTitle = velnor::kTitleText;
    connect->SetAppType(o.edition->appType);
    connect->SetUseDataType(2);
    int rc = connect->Initiate();
    if (rc != 0) {
        Fail("the host connection failed (Initiate answered " + std::to_string(rc) + ")");
        return kExitFailed;
    }
    rc = connect->ExpSysLink();
    if (rc != 0) {
        Fail(std::string("the host refused the export link (ExpSysLink answered ") +
             std::to_string(rc) + (rc == 1 ? ", cancelled)" : ")"));
        return kExitFailed;
    }

    StDATAINFO data;
    if (!velnor::FindSelectedDataSet(&data)) {
        Fail("the user's selected data set is not among the host's data sets");
        return kExitFailed;
    }
    if (data.nDataKind == kDataKindPastResults) {
        std::fprintf(stderr, "%s\n",
                     velnor::ConsoleText("過去実績データは、連携の対象として使用できません。\n\nア"
                                         "プリケーションを終了します。")
                         .c_str());
        return kExitFailed;
    }
    if (!CategoryOffered(data.byBusinessKinds, o.businessKind)) {
        Fail("business kind " + std::to_string(o.businessKind) +
             " is not offered by the selected data (its business kinds are " +
             std::to_string(data.byBusinessKinds) + ")");
        return kExitFailed;
    }
    // The export would stop at HASUU_SYOUKYAKU, which knows no other codes.
    if (data.byRounding > 2) {
        Fail("the selected data's rounding code is " + std::to_string(data.byRounding) +
             ", not 0, 1 or 2; nothing was written");
        return kExitFailed;
    }

    ClSnapshotList snapshots;
    ClRecordList records;
    ClAssetAggregator aggregator;
    if (!aggregator.CollectAssets(snapshots, data, o.businessKind)) {
        Fail("collecting the assets failed");
        return kExitFailed;
    }
    if (!aggregator.ConvertAssets(snapshots, records, data)) {
        Fail("converting the assets failed");
        return kExitFailed;
    }
    ClXmlExport exporter;
    exporter.SetRecordList(&records);
    exporter.SetEdition(o.edition);
    exporter.SetProgressBase(400);
    const std::string destination = velnor::FinalPath(o.output.c_str());
    // A link that leads nowhere, or a device's name: refused before anything is written.
    if (destination.empty()) {
        Fail(WriteFailure(o.output, destination, false, velnor::LastFileError()));
        return kExitFailed;
    }
    const bool hadOldFile = velnor::IsRegularFilePath(destination.c_str());
    if (!exporter.Export(o.output.c_str(), o.functionId, &data)) {
        // The error of the file operation that failed the export.
        const int error = velnor::LastFileError();
        Fail(WriteFailure(o.output, destination, hadOldFile, error));
        return kExitFailed;
    }
    // The document is written: a closed standard output does not change that.
    std::printf("velnor-export: wrote %zu SISAN to %s\n", records.size(), o.output.c_str());
    return 0;
}

// An interrupted run must not leave tens of megabytes of temporary file behind. (A killed
// one does: the next run for the same destination removes it once it is an hour old.)
#ifdef _WIN32
BOOL WINAPI OnConsoleControl(DWORD) {
    // The file is open for writing on the main thread; it goes when the process ends.
    velnor::RemovePendingTempFile();
    return FALSE;  // the default handler ends the program
}

void RemoveTempFileOnInterrupt() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }
#else
extern "C" void OnInterrupt(int signal) {
    velnor::RemovePendingTempFile();
    // SA_RESETHAND has restored the default action: the same signal, delivered when the
    // handler returns, ends the program, so that the shell sees how it ended.
    std::raise(signal);
}

// Every signal whose default action ends the process and that can be caught. The faults
// (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS) stay the sanitizers'; what
// they leave is the sweep's.
void RemoveTempFileOnInterrupt() {
    std::vector<int> signals = {SIGINT,  SIGTERM, SIGHUP,    SIGQUIT, SIGUSR1,
                                SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU};
#ifdef SIGPOLL
    signals.push_back(SIGPOLL);
#endif
#ifdef SIGPWR
    signals.push_back(SIGPWR);
#endif
#ifdef SIGSTKFLT
    signals.push_back(SIGSTKFLT);
#endif
#ifdef SIGRTMIN
    for (int s = SIGRTMIN; s <= SIGRTMAX; ++s) signals.push_back(s);
#endif
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int s : signals) sigaddset(&action.sa_mask, s);
    for (int s : signals) {
        // A signal the caller chose to ignore (nohup, a background job) stays ignored.
        struct sigaction old;
        if (sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        sigaction(s, &action, nullptr);
    }
    // A write beyond the file size limit, or to a closed pipe, then fails with its error
    // (EFBIG, EPIPE) instead of ending the process: the export fails, the old file stays.
    signal(SIGXFSZ, SIG_IGN);
    signal(SIGPIPE, SIG_IGN);
}
#endif

}  // namespace

// Runs `f`; an exception that escapes it ends in a message and kExitFailed, never an
// abort. No memory (a host data file too large for this machine) is the one expected.
template <typename F>
int Guarded(F f) {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        std::fputs("velnor-export: out of memory\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "velnor-export: stopped by an error: %s\n", e.what());
    }
    return kExitFailed;
}

int main(int argc, char** argv) {
    // The program's messages and the host's own both go to standard error.
    velnor::SetMessageBoxHook(MessageToStderr);
    hoststandin::SetMessageBoxHook(MessageToStderr);
    RemoveTempFileOnInterrupt();
    Options options;
    const int parsed = Guarded([&] { return ParseOptions(argc, argv, &options); });
    if (parsed < 0) return 0;
    if (parsed > 0) return parsed;
    const int status = Guarded([&] { return Run(options); });
    const int ended = Guarded([] {
        ClQelConnect::Inst()->LogOut();
        ClQelConnect::Inst()->Terminate();
        ClQelConnect::Inst()->Release();
        return 0;
    });
    return status != 0 ? status : ended;
}
