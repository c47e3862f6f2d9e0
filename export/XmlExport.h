// The export object: writes one document of the depreciation results for the selected
// company data (declaration, REPORT with its SYSTEM, BASIC and DATA blocks) through the
// line writer, and drives the progress display while it writes.
#pragma once

#include "aggregation/AssetRecords.h"
#include "common/Edition.h"
#include "common/Progress.h"
#include "common/Ui.h"
#include "hostbinding/HostBinding.h"

class ClXmlWriter;

class ClXmlExport {
  public:
    ClXmlExport() = default;
    virtual ~ClXmlExport() = default;
    ClXmlExport(const ClXmlExport&) = delete;
    ClXmlExport& operator=(const ClXmlExport&) = delete;

    // None of these is owned. Without a progress display nothing is driven; without a
    // record list the DATA block is empty. The edition gives the default PROGRAMNAME
    // (the PRO edition's until one is set).
    void SetProgress(velnor::IProgress* progress) { progress_ = progress; }
    void SetRecordList(const ClRecordList* records) { records_ = records; }
    void SetOwnerWindow(velnor::WindowHandle owner) { owner_ = owner; }
    void SetEdition(const velnor::Edition* edition) { edition_ = edition; }
    // The position on the overall progress bar at which the export's share begins.
    void SetProgressBase(short base) { progressBase_ = base; }

    // 1 when the whole document was written to `path`, else 0. The document is written
    // to a new file in the destination's folder and moved over `path` only once it is
    // complete and closed; after a failure `path` is as it was before and the new file
    // is gone.
    int Export(const char* path, short functionId, const StDATAINFO* dataInfo);

    int WriteSystem(ClXmlWriter& writer, short functionId);
    int WriteBasic(ClXmlWriter& writer, const StDATAINFO* dataInfo);
    int WriteData(ClXmlWriter& writer);

    // The company name in full-width forms, in a static area valid until the next call:
    // a name of 30 bytes or fewer whole, any name at most 63 bytes, cut before a
    // character that would not fit whole.
    static const char* ToFullWidth(const char* text);

    velnor::WindowHandle owner() const { return owner_; }

  private:
    void Pulse();
    void Advance(int from, int to);

    velnor::IProgress* progress_ = nullptr;
    const ClRecordList* records_ = nullptr;
    velnor::WindowHandle owner_ = nullptr;
    const velnor::Edition* edition_ = &velnor::kEditionPro;
    short progressBase_ = 0;
};
