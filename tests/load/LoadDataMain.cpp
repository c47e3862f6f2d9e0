// load-data: writes the load runs' host data files.
//   load-data many COUNT FILE   COUNT assets in the selected data set
//   load-data limits FILE       every text at its field's limit
//   load-data agreement FILE    assets on which the architectures' arithmetic could part
// Prints how many SISAN the export with business kind 1 holds.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "load/LoadData.h"

namespace {

int Write(const std::string& path, const std::string& text) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
        std::fprintf(stderr, "load-data: cannot write %s\n", path.c_str());
        if (f != nullptr) std::fclose(f);
        return 1;
    }
    return std::fclose(f) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "many") == 0) {
        char* end = nullptr;
        const long count = std::strtol(argv[2], &end, 10);
        if (*end != '\0' || count < 0 || count > 10000000) {
            std::fprintf(stderr, "load-data: COUNT must be 0 to 10000000\n");
            return 2;
        }
        const int n = static_cast<int>(count);
        if (Write(argv[3], loaddata::ManyAssets(n)) != 0) return 1;
        std::printf("%d\n", loaddata::ExportedRecords(n));
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "limits") == 0) {
        if (Write(argv[2], loaddata::FieldLimits()) != 0) return 1;
        std::printf("%d\n", loaddata::kFieldLimitRecords);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "agreement") == 0) {
        return Write(argv[2], loaddata::Agreement());
    }
    std::fprintf(
        stderr,
        "usage: load-data many COUNT FILE | load-data limits FILE | load-data agreement FILE\n");
    return 2;
}
