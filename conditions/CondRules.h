// The decisions of the conditions dialog, apart from its window so that tests can call
// them: what it shows when it opens, and whether the destination may be accepted.
#pragma once

#include <cstdint>
#include <string>

#include "common/Ui.h"

namespace velnor {

// "%04d/%02d/%02d～%04d/%02d/%02d" of two yyyymmdd dates.
std::string FormatPeriodText(int32_t start, int32_t end);

// Which category buttons (general, real estate, both) are enabled and which category is
// checked, from the data's business kinds and the remembered category.
struct StBusinessButtons {
    bool enabled[3];
    int16_t checked;  // 1 to 3
};
StBusinessButtons ChooseBusinessButtons(uint8_t dataBusinessKinds, int16_t rememberedKind);

// The destination the dialog opens with: the fixed one, else the remembered one, else the
// host's folder of type 0 or, when that is empty, the temporary folder with a backslash,
// followed by "*.xml". Every text is at most 260 bytes; "*.xml" is left off when it would
// not fit.
std::string ChooseInitialDestination(const char* fixedPath, const char* rememberedPath,
                                     const char* hostFolder, const char* tempFolder);

// The checks of OnOK after the category was taken: the four path checks, the folder
// (created on request), the fixed-destination rule and the existing target. Shows its
// messages owned by `owner`; true when the dialog may close with IDOK.
bool AcceptDestination(const std::string& destination, bool fixedDestination, WindowHandle owner);

// The texts of the dialog's messages.
extern const char* const kMsgPastResults;
extern const char* const kMsgCancelFormat;
extern const char* const kMsgNoDestination;
extern const char* const kMsgBadChars;
extern const char* const kMsgBadDrive;
extern const char* const kMsgNoFileName;
extern const char* const kMsgCreateFolder;
extern const char* const kMsgCreateFolderFailed;
extern const char* const kMsgOverwrite;

}  // namespace velnor
