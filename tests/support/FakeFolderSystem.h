// A drive-letter file system in memory for the folder helpers, with the root rules of the
// Win32 skip-root and strip-to-root calls. The roots C:\ and \\srv\share exist; the
// folder `failing` cannot be created.
#pragma once

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/PathHelpers.h"
#include "common/Sjis.h"
#include "support/Seams.h"

namespace velnor_test {

class FakeFolderSystem final : public velnor::FolderSystem {
  public:
    FakeFolderSystem() {
        folders_.insert(Key("C:\\"));
        folders_.insert(Key("\\\\srv\\share"));
    }

    void AddFolder(const std::string& path) { folders_.insert(Key(path)); }
    bool Has(const std::string& path) const { return folders_.count(Key(path)) != 0; }
    size_t FolderCount() const { return folders_.size(); }

    std::vector<std::string> created;
    std::vector<std::string> removed;
    std::string failing;

    bool IsDirectory(const char* path) override { return Has(path); }

    bool CreateFolder(const char* path) override {
        const std::string key = Key(path);
        if (path == failing) return false;
        if (folders_.count(key) != 0 || folders_.count(Parent(key)) == 0) return false;
        folders_.insert(key);
        created.push_back(path);
        return true;
    }

    bool RemoveFolder(const char* path) override {
        const std::string key = Key(path);
        if (folders_.count(key) == 0) return false;
        for (const std::string& other : folders_) {
            if (other != key && Parent(other) == key) return false;  // not empty
        }
        folders_.erase(key);
        removed.push_back(path);
        return true;
    }

    const char* SkipRoot(const char* path) override {
        if (path == nullptr || *path == '\0') return nullptr;
        if (path[0] == '\\' && path[1] == '\\') {
            const char* server = std::strchr(path + 2, '\\');
            if (server == nullptr) return nullptr;
            const char* share = std::strchr(server + 1, '\\');
            return share == nullptr ? nullptr : share + 1;
        }
        if (velnor::IsSjisLeadByte(static_cast<unsigned char>(path[0]))) return nullptr;
        if (path[1] == ':' && path[2] == '\\') return path + 3;
        return nullptr;
    }

    bool StripToRoot(char* path) override {
        if (path == nullptr || *path == '\0') return false;
        if (path[0] == '\\' && path[1] == '\\') {
            char* server = std::strchr(path + 2, '\\');
            if (server != nullptr) {
                char* share = std::strchr(server + 1, '\\');
                if (share != nullptr) *share = '\0';
            }
            return true;
        }
        if (path[1] == ':' && path[2] == '\\') {
            path[3] = '\0';
            return true;
        }
        return false;
    }

  private:
    // Case-insensitive for single-byte letters, without the trailing backslash (but "C:\").
    static std::string Key(const std::string& path) {
        std::string key;
        for (size_t i = 0; i < path.size(); ++i) {
            const unsigned char c = static_cast<unsigned char>(path[i]);
            if (velnor::IsSjisLeadByte(c) && i + 1 < path.size()) {
                key += path.substr(i, 2);
                ++i;
            } else {
                key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            }
        }
        if (key.size() > 3 && key.back() == '\\' &&
            !velnor::SjisIsDoubleByteAt(key.c_str(), key.size() - 1)) {
            key.pop_back();
        }
        return key;
    }

    static std::string Parent(const std::string& key) {
        size_t last = std::string::npos;
        for (size_t i = 0; i < key.size(); ++i) {
            if (velnor::IsSjisLeadByte(static_cast<unsigned char>(key[i])) && i + 1 < key.size()) {
                ++i;
            } else if (key[i] == '\\') {
                last = i;
            }
        }
        if (last == std::string::npos) return std::string();
        return key.size() > 2 && key[1] == ':' && last == 2 ? key.substr(0, 3)
                                                            : key.substr(0, last);
    }

    std::set<std::string> folders_;
};

using FolderSystemGuard = SeamGuard<velnor::FolderSystem*, &velnor::SetFolderSystem>;

}  // namespace velnor_test
