// Helpers shared by the fuzz targets: property checks that stop the run with a message,
// and texts placed so that AddressSanitizer sees every byte read or written past them.
#pragma once

#include <dirent.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

// A failed property is a finding like a crash: libFuzzer keeps the input.
#define FUZZ_CHECK(cond)                                                                     \
    do {                                                                                     \
        if (!(cond)) {                                                                       \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                    \
        }                                                                                    \
    } while (0)

namespace fuzz {

// A heap block of exactly `size` bytes: one byte past it is a reported overflow.
class TightBuffer {
  public:
    explicit TightBuffer(size_t size) : size_(size), data_(new char[size]) {}
    char* data() { return data_.get(); }
    const char* data() const { return data_.get(); }
    size_t size() const { return size_; }

  private:
    size_t size_;
    std::unique_ptr<char[]> data_;
};

// `text` (NULs and all) followed by one terminator, in a block that ends there.
inline TightBuffer TerminatedCopy(const std::string& text) {
    TightBuffer buffer(text.size() + 1);
    if (!text.empty()) std::memcpy(buffer.data(), text.data(), text.size());
    buffer.data()[text.size()] = '\0';
    return buffer;
}

// Which bytes of `text` belong to a double-byte character of code page 932: a lead byte
// (0x81-0x9F, 0xE0-0xFC) with a trail byte (0x40-0xFC but 0x7F) after it, walked from
// the start. Written apart from the project's tables on purpose.
inline std::vector<bool> DoubleByteMap(const std::string& text) {
    std::vector<bool> map(text.size(), false);
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || i + 1 == text.size()) continue;
        const unsigned char d = static_cast<unsigned char>(text[i + 1]);
        if (d == 0 || d < 0x40 || d > 0xFC || d == 0x7F) continue;
        map[i] = map[i + 1] = true;
        ++i;
    }
    return map;
}

// A C0 control that XML 1.0 allows in no form (all but TAB, LF and CR): the export writes
// each as one blank.
inline bool IsForbiddenControl(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    return u < 0x20 && u != '\t' && u != '\n' && u != '\r';
}

// `text` as the export writes it before escaping: each forbidden control a blank.
inline std::string WithBlanksForControls(std::string text) {
    for (char& c : text) {
        if (IsForbiddenControl(c)) c = ' ';
    }
    return text;
}

// No byte of `text` is a forbidden control.
inline bool HasNoForbiddenControl(const std::string& text) {
    for (const char c : text) {
        if (IsForbiddenControl(c)) return false;
    }
    return true;
}

// The byte at `i` is `c` and not part of a double-byte character.
inline bool IsRealChar(const std::string& text, const std::vector<bool>& map, size_t i, char c) {
    return i < text.size() && text[i] == c && !map[i];
}

// Input split into texts at NUL bytes, after `header` leading control bytes (zero when
// the input is shorter). Missing texts are empty.
class Fields {
  public:
    Fields(const uint8_t* data, size_t size, size_t header) : header_(header, 0) {
        const size_t n = size < header ? size : header;
        for (size_t i = 0; i < n; ++i) header_[i] = data[i];
        std::string current;
        for (size_t i = n; i < size; ++i) {
            if (data[i] == 0) {
                texts_.push_back(current);
                current.clear();
            } else {
                current.push_back(static_cast<char>(data[i]));
            }
        }
        texts_.push_back(current);
    }
    uint8_t Byte(size_t i) const { return header_[i]; }
    std::string Text(size_t i) const { return i < texts_.size() ? texts_[i] : std::string(); }
    size_t TextCount() const { return texts_.size(); }

  private:
    std::vector<uint8_t> header_;
    std::vector<std::string> texts_;
};

// A new folder under /tmp for the target's files, with a separator at its end; it goes
// with what is in it when the run ends.
inline std::string ScratchFolder(const char* name) {
    static std::string folder;
    std::string pattern = std::string("/tmp/velnor-") + name + "-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) {
        std::perror("fuzz: temporary folder");
        std::abort();
    }
    folder = pattern + "/";
    std::atexit([] {
        if (DIR* dir = opendir(folder.c_str())) {
            while (const dirent* e = readdir(dir)) {
                const std::string entry(e->d_name);
                if (entry != "." && entry != "..") unlink((folder + entry).c_str());
            }
            closedir(dir);
        }
        rmdir(folder.c_str());
    });
    return folder;
}

}  // namespace fuzz
