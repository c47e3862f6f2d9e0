// Common processing helpers over the host: the Japanese era of a date and the accounting
// period of the selected data.
//
// Results are 0 for success and -1 for failure. A failing host call is first shown to
// the host (ClMsgMgr::CheckFatalErrorWithMsg) and then recorded with
// ClMsgMgr::SetLastError under the module name "CmnProcHpr" and the source line.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hostbinding/HostBinding.h"

// Codes of the failures the helpers detect themselves.
constexpr int kCmnErrNoSetObject = -1001;     // the host has no set object to ask
constexpr int kCmnErrNoPeriodObject = -1004;  // the data set has no period object

class ClCmnProcHpr {
  public:
    // `owner` is the window (an HWND) the host's messages belong to; none for the
    // conversion.
    explicit ClCmnProcHpr(void* owner = nullptr) : m_hOwner(owner) {}
    ClCmnProcHpr(const ClCmnProcHpr&) = delete;
    ClCmnProcHpr& operator=(const ClCmnProcHpr&) = delete;

    // The era that `date` (yyyymmdd) falls in, and the year of that era (1 on its first
    // day). Dates before the first era, and after 99991231, fail without a record.
    int GetEra(int32_t date, StGENGOINFO* era, int* eraYear);

    // As GetEra, with the era name copied into `name` of `nameSize` bytes (cut at a
    // character boundary when it does not fit). On failure `name` is untouched.
    int GetEraName(int32_t date, char* name, size_t nameSize, int* eraYear);

    // First and last day of the selected data's accounting period; both 0 on failure.
    int GetPeriod(int32_t* first, int32_t* last);

  private:
    // True when `code` is a failure (non-zero, or fatal to the host); it is then
    // recorded against `line`.
    bool Failed(int code, int line);

    void* m_hOwner;
};
