// The batch exporter interrupted while it writes a large document: it ends by the signal
// it was sent, as a shell expects, and leaves the destination and nothing else. Every
// signal that ends a process and can be caught is such an interrupt.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "load/LoadData.h"
#include "support/Scratch.h"

namespace {

// Large enough that writing the document takes a good part of a second.
constexpr int kAssets = 10000;

// True once a temporary file of `destination` in `folder` has bytes in it.
bool Writing(const velnor_test::ScratchFolder& folder, const std::string& destination) {
    for (const std::string& name : folder.List()) {
        if (name.rfind(destination + ".", 0) != 0 || name.size() < 4 ||
            name.compare(name.size() - 4, 4, ".tmp") != 0) {
            continue;
        }
        struct stat st;
        if (stat((folder.path() + name).c_str(), &st) == 0 && st.st_size > 0) return true;
    }
    return false;
}

const int kSignals[] = {SIGINT,    SIGTERM,   SIGHUP,       SIGQUIT, SIGUSR1, SIGUSR2,
                        SIGALRM,   SIGVTALRM, SIGPROF,      SIGXCPU, SIGPOLL, SIGPWR,
                        SIGSTKFLT, SIGRTMIN,  SIGRTMIN + 5, SIGRTMAX};

// Starts the exporter in `folder`, its standard output going to `out` (/dev/null when -1).
pid_t Start(const std::string& folder, int out = -1) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // The test runner's own dispositions must not reach the program.
    for (int s : kSignals) signal(s, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    // SIGQUIT would leave a core file.
    const struct rlimit noCore = {0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    const int null = open("/dev/null", O_WRONLY);
    if (null < 0 || chdir(folder.c_str()) != 0) _exit(126);
    dup2(out < 0 ? null : out, 1);
    dup2(null, 2);
    const std::string tool = std::string(VELNOR_BIN_DIR) + "/velnor-export";
    execl(tool.c_str(), tool.c_str(), "--host-data", "host.json", "--business-kind", "1",
          "--output", "out.xml", static_cast<char*>(nullptr));
    _exit(127);
}

TEST(VelnorExportInterrupt, EndsByTheSignalAndRemovesItsTemporaryFile) {
    velnor_test::ScratchFolder folder("interrupt");
    ASSERT_TRUE(velnor_test::WriteFile(folder.path() + "host.json", loaddata::ManyAssets(kAssets)));
    for (int sig : kSignals) {
        SCOPED_TRACE(strsignal(sig));
        ASSERT_TRUE(velnor_test::WriteFile(folder.path() + "out.xml", "old"));
        const pid_t pid = Start(folder.path());
        ASSERT_GT(pid, 0);
        int status = 0;
        bool ended = false;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!Writing(folder, "out.xml") && std::chrono::steady_clock::now() < limit) {
            if (waitpid(pid, &status, WNOHANG) == pid) {
                ended = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_FALSE(ended) << "ended with status " << status << " before it wrote";
        kill(pid, sig);
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFSIGNALED(status)) << status;
        EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, sig);
        EXPECT_EQ(folder.List(), (std::vector<std::string>{"host.json", "out.xml"}));
        EXPECT_EQ(velnor_test::ReadFile(folder.path() + "out.xml"), "old");
    }
}

// A document written is a success, whatever becomes of the line that says so: here its
// standard output is a pipe that nobody reads any more.
TEST(VelnorExportInterrupt, AClosedStandardOutputAfterTheDocumentIsStillSuccess) {
    velnor_test::ScratchFolder folder("closed-pipe");
    ASSERT_TRUE(velnor_test::WriteFile(folder.path() + "host.json", loaddata::ManyAssets(10)));
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const pid_t pid = Start(folder.path(), ends[1]);
    ASSERT_GT(pid, 0);
    close(ends[1]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status))
        << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WIFEXITED(status) ? WEXITSTATUS(status) : -1, 0);
    EXPECT_EQ(folder.List(), (std::vector<std::string>{"host.json", "out.xml"}));
    EXPECT_NE(velnor_test::ReadFile(folder.path() + "out.xml").find("</REPORT>"),
              std::string::npos);
}

}  // namespace
