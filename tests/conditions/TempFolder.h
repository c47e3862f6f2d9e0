// A fresh folder for one test, removed with everything in it afterwards, and whole-file
// helpers. Paths are the program's own (Shift_JIS under Windows) and end in a separator.
#pragma once

#include <string>
#include <vector>

namespace velnor {

class TempFolder {
  public:
    TempFolder() = default;
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Create();
    const std::string& path() const { return path_; }
    // Names in the folder, sorted; folders end in a separator.
    std::vector<std::string> List(const std::string& sub = std::string()) const;

  private:
    std::string path_;
};

std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace velnor
