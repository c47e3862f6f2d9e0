// The aggregation object of a run: enumerates the fixed assets of the selected data
// through the host's depreciation rule object (CollectAssets) and converts the selected
// assets into the records of the export (ConvertAssets).
#pragma once

#include <cstdint>

#include "aggregation/AssetRecords.h"
#include "common/Business.h"
#include "hostbinding/HostBinding.h"

class ClAssetAggregator {
  public:
    ClAssetAggregator() = default;
    virtual ~ClAssetAggregator();
    ClAssetAggregator(const ClAssetAggregator&) = delete;
    ClAssetAggregator& operator=(const ClAssetAggregator&) = delete;

    // Creates the rule object for the data set `dataId` unless one is held. 1 on
    // success, 0 when it cannot be allocated.
    int Open(const char* dataId);
    // Starts an enumeration (ending an earlier one) and reads the asset count: 0, or the
    // host's code (5000 when there is no data; -1 when nothing is open).
    int Prepare(int32_t* count);
    // Ends the enumeration and destroys the rule object.
    void Close();

    // Fills `snapshots` with the assets of `data` that belong in the export for
    // `category` (BUSINESS_GENERAL, BUSINESS_REALESTATE or BUSINESS_BOTH). 1 on success,
    // also when nothing was found; 0 on failure, with the list empty.
    int CollectAssets(ClSnapshotList& snapshots, const StDATAINFO& data, int16_t category);

    // Fills `records` with one record per ordinary asset, in list order, and one summary
    // record of all small-amount assets last. 1 on success; 0 when a record cannot be
    // allocated, with the list empty.
    int ConvertAssets(const ClSnapshotList& snapshots, ClRecordList& records,
                      const StDATAINFO& data);

  private:
    ClRuleGenkashokyaku* m_pRule = nullptr;
};

namespace velnor {

// Every heap block of the aggregation (rule object, snapshot, record) is allocated only
// after asking here. Counts the allocation; true when it is to fail.
bool AggregationAllocationFails();

// Tests: the n-th allocation from now on (counted from 1) fails as if memory were
// exhausted; 0 cancels the plan.
void PlanAggregationAllocationFault(int n);

}  // namespace velnor
