// The support information file "SUPPORT.INF": the product name and version that the
// export names in its SYSTEM block.
#pragma once

#include <cstddef>

class ClSupportInf {
  public:
    static constexpr size_t kBufferSize = 30000;

    ClSupportInf() = default;
    virtual ~ClSupportInf();
    ClSupportInf(const ClSupportInf&) = delete;
    ClSupportInf& operator=(const ClSupportInf&) = delete;

    // 1 when the buffer is ready for lookups (now or from an earlier call), else 0.
    int Load();
    // The value after the marker, valid while this object lives; empty when the file,
    // the marker or the buffer is missing.
    const char* GetProductName();
    const char* GetProductVersion();

    // Tests: replaces how the buffer is allocated (null: the default). Returns the
    // previous function.
    using AllocFn = void* (*)(size_t);
    static AllocFn SetAllocator(AllocFn alloc);

  private:
    enum State { kNotLoaded, kLoaded, kOpenFailed };
    const char* Lookup(const char* marker, size_t markerLength);

    // One byte more than the file's share: the end of the file's data is marked with a
    // NUL there, so that a value on the last line ends with the data.
    unsigned char* buffer_ = nullptr;
    State state_ = kNotLoaded;
};
