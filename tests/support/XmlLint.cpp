#include "support/XmlLint.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "support/Scratch.h"

extern char** environ;

namespace velnor_test {

namespace {

const char kShiftJis[] = "encoding=\"Shift_JIS\"";
const char kWindows31J[] = "encoding=\"Windows-31J\"";

// The document with its declaration naming Windows-31J; anything else stays as it is.
std::string ForLibxml2(const std::string& document) {
    const size_t lineEnd = document.find('\n');
    const size_t at = document.find(kShiftJis);
    if (document.compare(0, 5, "<?xml") != 0 || at == std::string::npos || at > lineEnd) {
        return document;
    }
    return document.substr(0, at) + kWindows31J + document.substr(at + sizeof kShiftJis - 1);
}

}  // namespace

XmlLintVerdict XmlLint(const std::string& document, const std::string& schema) {
    XmlLintVerdict verdict;
    const ScratchFolder folder("xmllint");
    if (folder.path().empty()) {
        verdict.message = "no scratch folder";
        return verdict;
    }
    const std::string input = folder.path() + "document.xml";
    const std::string output = folder.path() + "xmllint.txt";
    if (!WriteFile(input, ForLibxml2(document))) {
        verdict.message = "cannot write " + input;
        return verdict;
    }

    std::vector<std::string> args = {"xmllint", "--noout"};
    if (!schema.empty()) {
        args.push_back("--schema");
        args.push_back(schema);
    }
    args.push_back(input);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, "xmllint", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        verdict.message = std::string("xmllint could not be started: ") + std::strerror(spawned);
        return verdict;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            verdict.message = "xmllint was lost";
            return verdict;
        }
    }
    verdict.message = ReadFile(output);
    verdict.passed = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!verdict.passed && verdict.message.empty()) {
        verdict.message = "xmllint ended with status " + std::to_string(status);
    }
    return verdict;
}

}  // namespace velnor_test
