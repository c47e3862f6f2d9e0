#include "support/Scratch.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace velnor_test {

namespace {

#ifdef _WIN32
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        names.push_back((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? name + kSep : name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

void RemoveFile(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}
void RemoveEmptyFolder(const std::string& path) { RemoveDirectoryA(path.c_str()); }

std::string MakeFolder(const std::string& name) {
    char base[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(MAX_PATH, base);
    if (n == 0 || n > MAX_PATH) return std::string();
    for (unsigned i = 0; i < 10000; ++i) {
        const std::string path = std::string(base) + "velnor-" + name + "-" +
                                 std::to_string(GetCurrentProcessId()) + "-" + std::to_string(i);
        if (CreateDirectoryA(path.c_str(), nullptr)) return path + kSep;
    }
    return std::string();
}
#else
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        const bool isDir = lstat((folder + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        names.push_back(isDir ? name + kSep : name);
    }
    closedir(dir);
    return names;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }
void RemoveEmptyFolder(const std::string& path) { rmdir(path.c_str()); }

std::string MakeFolder(const std::string& name) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base && *base ? base : "/tmp") + "/velnor-" + name + "-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) return std::string();
    return pattern + kSep;
}
#endif

}  // namespace

void RemoveTree(const std::string& folder) {
    for (const std::string& name : Names(folder)) {
        if (name.back() == kSep) {
            RemoveTree(folder + name);
        } else {
            RemoveFile(folder + name);
        }
    }
    RemoveEmptyFolder(folder);
}

ScratchFolder::ScratchFolder(const std::string& name) : path_(MakeFolder(name)) {}

ScratchFolder::~ScratchFolder() {
    if (!path_.empty()) RemoveTree(path_);
}

std::vector<std::string> ScratchFolder::List(const std::string& sub) const {
    std::vector<std::string> names = Names(path_ + sub);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    out.close();
    return static_cast<bool>(out);
}

bool FileExists(const std::string& path) { return std::ifstream(path).good(); }

}  // namespace velnor_test
