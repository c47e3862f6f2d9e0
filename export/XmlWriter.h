// The line writer of the export: builds one line per call (indentation, tag, attributes,
// escaped text, CR LF) and collects the lines in a buffer of its own, which reaches the
// file in large writes whenever it is full and when the writer closes. It keeps no stack
// of open elements.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>

namespace velnor {
class ClFile;
}

class ClXmlWriter {
  public:
    // Every line buffer passed to the tag operations holds at least this many bytes; a
    // line holds at most kLineSize - 1 bytes. Texts and attribute values that would make
    // it longer are cut at a character boundary before escaping.
    static constexpr size_t kLineSize = 256;
    // The escaping area: escaped texts hold at most kEscapeSize - 1 bytes.
    static constexpr size_t kEscapeSize = 256;
    // Lines collected before they are written: large enough that a write costs little per
    // line, small enough to live on the stack of the export.
    static constexpr size_t kBufferSize = 64 * 1024;

    ClXmlWriter() = default;
    ~ClXmlWriter();
    ClXmlWriter(const ClXmlWriter&) = delete;
    ClXmlWriter& operator=(const ClXmlWriter&) = delete;

    // Attaches `file` (owned by the caller) and opens `path` in it for writing: created,
    // or truncated, and not shared. -1 when the file object or the path is missing, else
    // 0; a path that cannot be opened shows up as a failing first write.
    short Open(velnor::ClFile* file, const char* path);
    // Attaches `file` (owned by the caller) as it is, already open for writing (a
    // temporary file made with ClFile::CreateTempBeside): it is never opened again by
    // name. -1 when it is missing, else 0.
    short Attach(velnor::ClFile* file);
    // Writes what is still collected, brings the file to stable storage, closes and
    // detaches it; nothing when none is attached. Always 0; a failure shows in Failed().
    short Close();

    // Adds the text's bytes to the file unchanged, without escaping (the caller's own
    // markup, such as the declaration): 1, or 0 after a file error (the file was never
    // opened, or a write of the collected lines failed), which also closes the file so
    // that every later write fails.
    int WriteRaw(const char* text);

    template <size_t N>
    int WriteStartTag(char (&line)[N], const char* tag, int level, const char* name1 = nullptr,
                      const char* value1 = nullptr, const char* name2 = nullptr,
                      const char* value2 = nullptr) {
        static_assert(N >= kLineSize, "line buffer too small");
        return BuildAndWrite(line, kStart, tag, nullptr, 0, level, name1, value1, name2, value2);
    }
    template <size_t N>
    int WriteEndTag(char (&line)[N], const char* tag, int level) {
        static_assert(N >= kLineSize, "line buffer too small");
        return BuildAndWrite(line, kEnd, tag, nullptr, 0, level, nullptr, nullptr, nullptr,
                             nullptr);
    }
    template <size_t N>
    int WriteElement(char (&line)[N], const char* tag, const char* text, int level,
                     const char* name1 = nullptr, const char* value1 = nullptr,
                     const char* name2 = nullptr, const char* value2 = nullptr) {
        static_assert(N >= kLineSize, "line buffer too small");
        return BuildAndWrite(line, kElement, tag, text ? text : "", text ? std::strlen(text) : 0,
                             level, name1, value1, name2, value2);
    }
    // The same with a text of known length (a fixed record field).
    template <size_t N>
    int WriteElementN(char (&line)[N], const char* tag, const char* text, size_t length,
                      int level) {
        static_assert(N >= kLineSize, "line buffer too small");
        return BuildAndWrite(line, kElement, tag, text ? text : "", text ? length : 0, level,
                             nullptr, nullptr, nullptr, nullptr);
    }

    // The escaped text in a static area, valid until the next call; at most
    // kEscapeSize - 1 bytes, cut before a character whose escaped form would not fit.
    // `&`, `<`, `>`, `"` and `'` become their entities; every C0 control that XML forbids
    // (all but TAB, LF and CR) and every byte of a sequence that is no character of code
    // page 932 one blank each; every other byte stays as it is. Texts and attribute
    // values of the tag operations are escaped the same way.
    static const char* Escape(const char* text);

    // True once a write, the flush or the closing of the file failed.
    bool Failed() const { return failed_; }
    const std::string& path() const { return path_; }

  private:
    enum Kind { kStart, kEnd, kElement };
    int BuildAndWrite(char* line, Kind kind, const char* tag, const char* text, size_t textLength,
                      int level, const char* name1, const char* value1, const char* name2,
                      const char* value2);
    int WriteLine(const char* line, size_t length);
    // Writes the collected lines; false (the file closed) when that fails.
    bool WriteCollected();
    bool Fail();

    velnor::ClFile* file_ = nullptr;
    std::string path_;
    bool failed_ = false;
    size_t used_ = 0;
    char buffer_[kBufferSize];
};
