// Reading a document with a real XML parser: libxml2's xmllint, on Linux only.
#pragma once

#include <string>

namespace velnor_test {

struct XmlLintVerdict {
    bool passed = false;  // well-formed, and valid when a schema was given
    std::string message;  // what xmllint said
};

// Runs `xmllint --noout` (with `--schema schema` when one is given) on `document`. The
// parser reads a copy in a scratch file whose declaration names Windows-31J instead of
// Shift_JIS: libxml2's Shift_JIS refuses the characters that code page 932 adds (such
// as ㎡), and its Windows-31J is code page 932.
XmlLintVerdict XmlLint(const std::string& document, const std::string& schema = std::string());

}  // namespace velnor_test
