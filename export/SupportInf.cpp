#include "export/SupportInf.h"

#include <cstdlib>
#include <cstring>

#include "common/Edition.h"
#include "common/File.h"
#include "common/Ui.h"

namespace {

ClSupportInf::AllocFn g_alloc = nullptr;

const char kFileName[] = "SUPPORT.INF";
const char kProductNameMarker[] = "[=製品名=]";
const char kProductVersionMarker[] = "[=製品ﾊﾞｰｼﾞｮﾝ=]";
#ifndef __clang__  // clang keeps literals UTF-8 (the fuzz build), of other lengths
static_assert(sizeof kProductNameMarker - 1 == 10, "marker length");
static_assert(sizeof kProductVersionMarker - 1 == 15, "marker length");
#endif

}  // namespace

ClSupportInf::AllocFn ClSupportInf::SetAllocator(AllocFn alloc) {
    AllocFn previous = g_alloc;
    g_alloc = alloc;
    return previous;
}

ClSupportInf::~ClSupportInf() { std::free(buffer_); }

int ClSupportInf::Load() {
    if (buffer_ != nullptr) return 1;
    void* block = g_alloc ? g_alloc(kBufferSize + 1) : std::malloc(kBufferSize + 1);
    if (block == nullptr) {
        velnor::ShowMessageBox(nullptr, "ﾒﾓﾘが不足しています。", velnor::kTitleText,
                               velnor::kMbOk | velnor::kMbIconWarning);
        return 0;
    }
    buffer_ = static_cast<unsigned char*>(block);
    std::memset(buffer_, 0xFF, kBufferSize);
    buffer_[kBufferSize] = '\0';

    // Anything but a plain file (a folder, a pipe, a device) counts as a missing file; a
    // pipe must not hold the export up waiting for a writer (kRegularOnly).
    velnor::ClFile file;
    if (!file.Open(kFileName, velnor::ClFile::kRead | velnor::ClFile::kShareDenyNone |
                                  velnor::ClFile::kRegularOnly)) {
        state_ = kOpenFailed;
        return 0;
    }
    size_t got = 0;
    try {
        got = file.Read(buffer_, kBufferSize);
    } catch (const velnor::ClFileException&) {
        // A file that cannot be read counts as one that cannot be opened.
        file.Abort();
        std::memset(buffer_, 0xFF, kBufferSize);
        state_ = kOpenFailed;
        return 0;
    }
    file.Abort();
    buffer_[got] = '\0';

    for (size_t i = 0; i < got; ++i) {
        if (buffer_[i] == '\r' && i + 1 < got && buffer_[i + 1] == '\n') {
            buffer_[i] = buffer_[i + 1] = '\0';
            ++i;
        } else if (buffer_[i] == 0x1A) {
            buffer_[i] = '\0';
        }
    }
    state_ = kLoaded;
    return 1;
}

const char* ClSupportInf::Lookup(const char* marker, size_t markerLength) {
    if (!Load()) return "";
    for (size_t pos = 0; pos + markerLength <= kBufferSize; ++pos) {
        if (buffer_[pos] == static_cast<unsigned char>(marker[0]) &&
            std::memcmp(buffer_ + pos, marker, markerLength) == 0) {
            return reinterpret_cast<const char*>(buffer_ + pos + markerLength);
        }
    }
    return "";
}

const char* ClSupportInf::GetProductName() {
    return Lookup(kProductNameMarker, sizeof kProductNameMarker - 1);
}

const char* ClSupportInf::GetProductVersion() {
    return Lookup(kProductVersionMarker, sizeof kProductVersionMarker - 1);
}
