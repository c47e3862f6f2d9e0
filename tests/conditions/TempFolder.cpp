#include "TempFolder.h"

#include <algorithm>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace velnor {

namespace {

#ifdef _WIN32
constexpr char kSep = '\\';

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

void RemoveTree(const std::string& folder) {
    for (const std::string& name : Names(folder)) {
        if (name.back() == kSep) {
            RemoveTree(folder + name);
        } else {
            SetFileAttributesA((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((folder + name).c_str());
        }
    }
    RemoveDirectoryA(folder.c_str());
}
#else
constexpr char kSep = '/';

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (dirent* e = readdir(dir)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        struct stat st;
        const bool isDir = stat((folder + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        names.push_back(isDir ? name + kSep : name);
    }
    closedir(dir);
    return names;
}

void RemoveTree(const std::string& folder) {
    for (const std::string& name : Names(folder)) {
        if (name.back() == kSep) {
            RemoveTree(folder + name);
        } else {
            unlink((folder + name).c_str());
        }
    }
    rmdir(folder.c_str());
}
#endif

}  // namespace

TempFolder::~TempFolder() {
    if (!path_.empty()) RemoveTree(path_);
}

bool TempFolder::Create() {
#ifdef _WIN32
    char base[MAX_PATH + 1] = {};
    const DWORD n = GetTempPathA(MAX_PATH, base);
    if (n == 0 || n > MAX_PATH) return false;
    for (unsigned i = 0; i < 10000; ++i) {
        char name[MAX_PATH + 32];
        std::snprintf(name, sizeof name, "%svelt%lu_%u", base, GetCurrentProcessId(), i);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = std::string(name) + kSep;
            return true;
        }
    }
    return false;
#else
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/velt_XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) return false;
    path_ = pattern + kSep;
    return true;
#endif
}

std::vector<std::string> TempFolder::List(const std::string& sub) const {
    std::vector<std::string> names = Names(path_ + sub);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadFileBytes(const std::string& path) {
    std::string bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return "<missing>";
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
    std::fclose(f);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace velnor
