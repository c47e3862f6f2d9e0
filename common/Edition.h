// The two editions of the program are built from one source and differ only in these
// constants. Core code takes the edition as a value so that one build (the batch
// exporter, the tests) can serve both.
#pragma once

namespace velnor {

struct Edition {
    const char* name;             // "VelnorPro" / "VelnorStd"
    int appType;                  // handed to the host connection (SetAppType)
    const char* envFileName;      // remembered-destination file
    const char* programName;      // default PROGRAMNAME of the export
};

extern const Edition kEditionPro;
extern const Edition kEditionStd;

// The edition this program was built as. Defined once per program (see
// EditionPro.cpp / EditionStd.cpp); tools that serve both choose at run time.
const Edition& CurrentEdition();

// The run's title text: caption of every message box and the host connection's title.
extern const char* const kTitleText;

}  // namespace velnor
