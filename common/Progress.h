// What the export and the run sequence need from a progress display. On Windows the
// progress window implements it; tests record the calls.
#pragma once

namespace velnor {

class IProgress {
public:
    virtual ~IProgress() = default;
    // Refills the activity bar and brings the window to the front.
    virtual void PulseProgress() = 0;
    // Steps the overall bar once for every value from `from` to `to`, both included.
    virtual void AdvanceProgress(short from, short to) = 0;
};

}  // namespace velnor
