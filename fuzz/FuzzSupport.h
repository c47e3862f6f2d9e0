// Helpers shared by the fuzz targets: property checks that stop the run with a message,
// and texts placed so that AddressSanitizer sees every byte read or written past them.
#pragma once

#include <dirent.h>
#include <iconv.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
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

// What glibc's CP932 decodes: every byte alone and every pair, asked once. Apart from
// the project's tables on purpose.
struct Cp932Table {
    bool single[256] = {};
    std::vector<bool> pair = std::vector<bool>(65536, false);
    Cp932Table() {
        iconv_t cd = iconv_open("UTF-8", "CP932");
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            std::perror("fuzz: iconv CP932");
            std::abort();
        }
        const auto decodes = [cd](unsigned a, unsigned b, size_t n) {
            char in[2] = {static_cast<char>(a), static_cast<char>(b)};
            char out[16];
            char* inp = in;
            char* outp = out;
            size_t inLeft = n, outLeft = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            return iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) &&
                   inLeft == 0;
        };
        for (unsigned a = 0; a < 256; ++a) {
            single[a] = decodes(a, 0, 1);
            for (unsigned b = 0; b < 256; ++b) pair[a * 256 + b] = decodes(a, b, 2);
        }
        iconv_close(cd);
    }
};
inline const Cp932Table& Cp932() {
    static const Cp932Table table;
    return table;
}

// True when the whole of `text` decodes as code page 932 (glibc's CP932).
inline bool DecodesAsCp932(const std::string& text) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    FUZZ_CHECK(cd != reinterpret_cast<iconv_t>(-1));
    std::string in = text;
    char* inp = &in[0];
    size_t inLeft = in.size();
    bool ok = true;
    while (inLeft > 0 && ok) {
        char out[4096];
        char* outp = out;
        size_t outLeft = sizeof out;
        ok = iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) || errno == E2BIG;
    }
    iconv_close(cd);
    return ok;
}

// `text` as the export writes it before escaping: a blank for each forbidden control and
// for each byte of a sequence that is no character of code page 932 (a lead byte without
// its trail byte, a pair not assigned, a single byte not assigned).
inline std::string WithBlanks(std::string text) {
    const std::vector<bool> map = DoubleByteMap(text);
    const Cp932Table& table = Cp932();
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (map[i]) {
            if (!table.pair[c * 256 + static_cast<unsigned char>(text[i + 1])]) {
                text[i] = text[i + 1] = ' ';
            }
            ++i;
        } else if (IsForbiddenControl(text[i]) || !table.single[c]) {
            text[i] = ' ';
        }
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

// The export's text of an element, unescaped; false when it holds a byte that should have
// been escaped or an entity that is not one of the five.
inline bool Unescape(const std::string& text, std::string* out) {
    out->clear();
    static const struct {
        const char* entity;
        char c;
    } kEntities[] = {
        {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '<' || c == '>' || c == '"' || c == '\'') return false;
        if (c != '&') {
            out->push_back(c);
            ++i;
            continue;
        }
        bool known = false;
        for (const auto& e : kEntities) {
            if (text.compare(i, std::strlen(e.entity), e.entity) == 0) {
                out->push_back(e.c);
                i += std::strlen(e.entity);
                known = true;
                break;
            }
        }
        if (!known) return false;
    }
    return true;
}

// One line of the document: level, and either a start tag, an end tag or an element.
struct Line {
    int level = 0;
    enum Kind { kStart, kEnd, kElement } kind = kStart;
    std::string tag;
    std::string attributes;  // as written, for a start tag
    std::string text;        // unescaped, for an element
};

inline bool IsName(const std::string& s) {
    return !s.empty() && s.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_") == std::string::npos;
}

// Reads the document by the rules of XML that it relies on: tags balanced, names plain,
// text holding no '<' and every '&' one of the five entities (quotes escaped as well,
// as the writer always does). Between tags stand only CR LF and the indentation of the
// level. A text may hold the TABs and line breaks of the host's texts, which pass
// through unchanged; their other control bytes are blanks.
inline std::vector<Line> ParseDocument(const std::string& doc) {
    static const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
    FUZZ_CHECK(doc.compare(0, sizeof kDeclaration - 1, kDeclaration) == 0);
    std::vector<Line> lines;
    std::vector<std::string> open;
    size_t pos = sizeof kDeclaration - 1;
    while (pos < doc.size()) {
        Line line;
        while (pos < doc.size() && doc[pos] == '\t') ++pos, ++line.level;
        FUZZ_CHECK(pos < doc.size() && doc[pos] == '<');
        const size_t close = doc.find('>', pos);
        FUZZ_CHECK(close != std::string::npos);
        const std::string head = doc.substr(pos + 1, close - pos - 1);
        pos = close + 1;
        if (head[0] == '/') {
            line.kind = Line::kEnd;
            line.tag = head.substr(1);
            FUZZ_CHECK(IsName(line.tag) && !open.empty() && open.back() == line.tag);
            open.pop_back();
            FUZZ_CHECK(line.level == static_cast<int>(open.size()));
        } else {
            const size_t blank = head.find(' ');
            line.tag = head.substr(0, blank);
            line.attributes = blank == std::string::npos ? std::string() : head.substr(blank + 1);
            FUZZ_CHECK(IsName(line.tag) && line.level == static_cast<int>(open.size()));
            static const std::string kContainers[] = {"REPORT", "SYSTEM", "BASIC", "DATA", "SISAN"};
            if (std::find(std::begin(kContainers), std::end(kContainers), line.tag) !=
                std::end(kContainers)) {
                line.kind = Line::kStart;
                open.push_back(line.tag);
            } else {
                line.kind = Line::kElement;
                FUZZ_CHECK(line.attributes.empty());
                const size_t textEnd = doc.find('<', pos);
                FUZZ_CHECK(textEnd != std::string::npos);
                FUZZ_CHECK(Unescape(doc.substr(pos, textEnd - pos), &line.text));
                const std::string endTag = "</" + line.tag + ">";
                FUZZ_CHECK(doc.compare(textEnd, endTag.size(), endTag) == 0);
                pos = textEnd + endTag.size();
            }
        }
        FUZZ_CHECK(doc.compare(pos, 2, "\r\n") == 0);
        pos += 2;
        lines.push_back(line);
    }
    FUZZ_CHECK(open.empty());
    return lines;
}

}  // namespace fuzz
