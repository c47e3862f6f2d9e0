#include "export/XmlWriter.h"

#include <cstring>

#include "common/File.h"
#include "common/Sjis.h"

namespace {

struct Entity {
    const char* text;
    size_t length;
};

// The replacement of each byte that escaping changes; every other byte stands for itself.
Entity EntityOf(unsigned char c) {
    switch (c) {
        case '&':
            return {"&amp;", 5};
        case '>':
            return {"&gt;", 4};
        case '<':
            return {"&lt;", 4};
        case '"':
            return {"&quot;", 6};
        case '\'':
            return {"&apos;", 6};
        default:
            return {nullptr, 1};
    }
}

// The C0 controls that XML 1.0 allows in no form, not even as a character reference:
// all but TAB, LF and CR. Each is written as one blank, so that lengths and cuts stay.
constexpr bool IsForbiddenControl(unsigned char c) {
    return c < 0x20 && c != '\t' && c != '\n' && c != '\r';
}

// A byte that escaping writes as it is when it stands alone: a character of its own that
// is neither forbidden nor one of the five.
struct PlainBytes {
    bool plain[256];
    constexpr PlainBytes() : plain() {
        for (int c = 0; c < 256; ++c) {
            const unsigned char u = static_cast<unsigned char>(c);
            plain[c] = velnor::IsSjisSingleByteCharacter(u) && !IsForbiddenControl(u) && u != '&' &&
                       u != '>' && u != '<' && u != '"' && u != '\'';
        }
    }
};
constexpr PlainBytes kPlainBytes;

// The length of a double-byte character at `text[i]`: 2 when a lead byte is followed by a
// trail byte within `length`, else 0.
size_t PairAt(const char* text, size_t i, size_t length) {
    return velnor::IsSjisLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < length &&
                   velnor::IsSjisTrailByte(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 0;
}

// Escapes `length` bytes of `text` into `out`, at most `room` bytes, stopping before the
// first character (a double-byte character is one) whose escaped form would not fit.
// Returns the number of bytes written; nothing is terminated.
//
// A document that a decoder of code page 932 cannot read is refused whole by the
// receiving product, and a lone lead byte would swallow the '<' after it. So every byte
// of a sequence that is no character of the code page becomes a blank, one for one, as a
// forbidden control does: a lead byte without its trail byte, a pair the code page does
// not assign, and 0x80, 0xA0 and 0xFD-0xFF. Lengths and cuts stay as they were.
size_t EscapeInto(const char* text, size_t length, char* out, size_t room) {
    // Most texts hold no byte that escaping changes: such a text is itself when it fits.
    if (length <= room) {
        size_t k = 0;
        while (k < length) {
            const unsigned char c = static_cast<unsigned char>(text[k]);
            if (kPlainBytes.plain[c]) {
                ++k;
            } else if (PairAt(text, k, length) != 0 &&
                       velnor::IsSjisCharacter(c, static_cast<unsigned char>(text[k + 1]))) {
                k += 2;
            } else {
                break;
            }
        }
        if (k == length) {
            std::memcpy(out, text, length);
            return length;
        }
    }
    size_t o = 0;
    size_t i = 0;
    while (i < length) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (PairAt(text, i, length) != 0) {
            if (o + 2 > room) break;
            const bool assigned =
                velnor::IsSjisCharacter(c, static_cast<unsigned char>(text[i + 1]));
            out[o++] = assigned ? text[i] : ' ';
            out[o++] = assigned ? text[i + 1] : ' ';
            i += 2;
            continue;
        }
        const Entity e = EntityOf(c);
        if (o + e.length > room) break;
        if (e.text) {
            std::memcpy(out + o, e.text, e.length);
        } else {
            out[o] = kPlainBytes.plain[c] ? static_cast<char>(c) : ' ';
        }
        o += e.length;
        ++i;
    }
    return o;
}

// A line under construction; the caller reserves the room before appending.
struct LineBuf {
    char* p;
    size_t n;
    void Put(const char* s, size_t len) {
        std::memcpy(p + n, s, len);
        n += len;
    }
    void Put(char c) { p[n++] = c; }
};

constexpr size_t kMaxLine = ClXmlWriter::kLineSize - 1;

size_t Tabs(int level) { return level > 0 ? static_cast<size_t>(level) : 0; }

}  // namespace

ClXmlWriter::~ClXmlWriter() { Close(); }

short ClXmlWriter::Open(velnor::ClFile* file, const char* path) {
    if (file == nullptr || path == nullptr || *path == '\0') return -1;
    Close();
    file_ = file;
    path_ = path;
    failed_ = false;
    used_ = 0;
    file_->Open(path,
                velnor::ClFile::kWrite | velnor::ClFile::kShareExclusive | velnor::ClFile::kCreate);
    return 0;
}

short ClXmlWriter::Attach(velnor::ClFile* file) {
    if (file == nullptr) return -1;
    Close();
    file_ = file;
    path_ = file->path();
    failed_ = false;
    used_ = 0;
    return 0;
}

short ClXmlWriter::Close() {
    if (file_ != nullptr) {
        if (file_->IsOpen() && WriteCollected()) {
            try {
                file_->Flush();
                file_->Close();
            } catch (const velnor::ClFileException&) {
                Fail();
            }
        }
        file_ = nullptr;
        used_ = 0;
    }
    return 0;
}

bool ClXmlWriter::Fail() {
    // The file stays attached but closed: every later write fails as well.
    if (file_ != nullptr) file_->Abort();
    failed_ = true;
    used_ = 0;
    return false;
}

bool ClXmlWriter::WriteCollected() {
    if (used_ == 0) return true;
    try {
        file_->Write(buffer_, used_);
    } catch (const velnor::ClFileException&) {
        return Fail();
    }
    used_ = 0;
    return true;
}

int ClXmlWriter::WriteLine(const char* line, size_t length) {
    if (file_ == nullptr || !file_->IsOpen()) {
        failed_ = true;
        return 0;
    }
    if (used_ + length > kBufferSize && !WriteCollected()) return 0;
    if (length > kBufferSize) {
        try {
            file_->Write(line, length);
        } catch (const velnor::ClFileException&) {
            return Fail();
        }
        return 1;
    }
    std::memcpy(buffer_ + used_, line, length);
    used_ += length;
    return 1;
}

int ClXmlWriter::WriteRaw(const char* text) {
    if (text == nullptr) text = "";
    return WriteLine(text, std::strlen(text));
}

int ClXmlWriter::BuildAndWrite(char* line, Kind kind, const char* tag, const char* text,
                               size_t textLength, int level, const char* name1, const char* value1,
                               const char* name2, const char* value2) {
    line[0] = '\0';
    if (tag == nullptr) return 0;
    const bool attr1 = kind != kEnd && name1 != nullptr && value1 != nullptr;
    const bool attr2 = attr1 && name2 != nullptr && value2 != nullptr;
    const size_t tagLen = std::strlen(tag);
    const size_t name1Len = attr1 ? std::strlen(name1) : 0;
    const size_t name2Len = attr2 ? std::strlen(name2) : 0;

    // Everything but the escaped values: TABs, "<" or "</", tag, ` name=""` per
    // attribute, ">" text "</" tag for an element, ">\r\n".
    size_t fixed = Tabs(level) + (kind == kEnd ? 2 : 1) + tagLen + 3;
    if (attr1) fixed += name1Len + 4;
    if (attr2) fixed += name2Len + 4;
    if (kind == kElement) fixed += 3 + tagLen;
    if (level > static_cast<int>(kMaxLine) || fixed > kMaxLine) {
        failed_ = true;
        return 0;
    }
    size_t room = kMaxLine - fixed;

    LineBuf b{line, 0};
    for (size_t i = Tabs(level); i > 0; --i) b.Put('\t');
    b.Put('<');
    if (kind == kEnd) b.Put('/');
    b.Put(tag, tagLen);
    const char* names[2] = {name1, name2};
    const size_t nameLens[2] = {name1Len, name2Len};
    const char* values[2] = {value1, value2};
    for (int a = 0; a < (attr2 ? 2 : attr1 ? 1 : 0); ++a) {
        b.Put(' ');
        b.Put(names[a], nameLens[a]);
        b.Put("=\"", 2);
        const size_t valueLen = velnor::SjisCutLength(values[a], std::strlen(values[a]), kMaxLine);
        const size_t written = EscapeInto(values[a], valueLen, b.p + b.n, room);
        b.n += written;
        room -= written;
        b.Put('"');
    }
    if (kind == kElement) {
        b.Put('>');
        const size_t textLen = velnor::SjisCutLength(text, textLength, kMaxLine);
        b.n += EscapeInto(text, textLen, b.p + b.n, room);
        b.Put("</", 2);
        b.Put(tag, tagLen);
    }
    b.Put(">\r\n", 3);
    line[b.n] = '\0';
    return WriteLine(line, b.n);
}

const char* ClXmlWriter::Escape(const char* text) {
    static char result[kEscapeSize];
    std::memset(result, 0, sizeof result);
    if (text == nullptr) return result;
    const size_t length = velnor::SjisCutLength(text, std::strlen(text), kEscapeSize - 1);
    EscapeInto(text, length, result, kEscapeSize - 1);
    return result;
}
