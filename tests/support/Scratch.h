// A fresh folder for one test, removed with everything in it afterwards, and whole-file
// helpers. Paths are the program's own (Shift_JIS under Windows) and folders end in
// their separator.
#pragma once

#include <string>
#include <vector>

namespace velnor_test {

class ScratchFolder {
  public:
    // Creates "<temp>/velnor-<name>-<process>-<n>/"; path() is empty when that failed.
    explicit ScratchFolder(const std::string& name = "t");
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    // Names in the folder (or its sub-folder `sub`), sorted; folders end in a separator.
    std::vector<std::string> List(const std::string& sub = std::string()) const;

  private:
    std::string path_;
};

// The folder's separator on this platform.
#ifdef _WIN32
constexpr char kSep = '\\';
#else
constexpr char kSep = '/';
#endif

// Removes `folder` (ending in its separator) with everything in it, read-only files too.
void RemoveTree(const std::string& folder);

// The whole file; empty when it cannot be read.
std::string ReadFile(const std::string& path);
bool WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

}  // namespace velnor_test
