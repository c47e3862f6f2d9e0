// A host data file through the stand-in host, aggregation and the export, as the program
// runs them, in this process.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "aggregation/AssetAggregator.h"
#include "app/SelectedData.h"
#include "common/Edition.h"
#include "export/XmlExport.h"
#include "host_standin/HostStandIn.h"
#include "support/Scratch.h"

namespace loaddata {

// The document's bytes for business category `category`; `records` gets the number of
// records written. The support file is read from the current folder.
inline std::string ExportHostData(const std::string& hostData, int16_t category,
                                  size_t* records = nullptr) {
    hoststandin::Reset();
    const std::string why = hoststandin::LoadFromString(hostData);
    EXPECT_EQ("", why);
    StDATAINFO data;
    EXPECT_TRUE(velnor::FindSelectedDataSet(&data));
    ClSnapshotList snapshots;
    ClRecordList list;
    ClAssetAggregator aggregator;
    EXPECT_EQ(1, aggregator.CollectAssets(snapshots, data, category));
    EXPECT_EQ(1, aggregator.ConvertAssets(snapshots, list, data));
    if (records != nullptr) *records = list.size();
    // A folder of this process: test cases run side by side.
    const velnor_test::ScratchFolder folder("load");
    const std::string path = folder.path() + "export.xml";
    ClXmlExport exporter;
    exporter.SetRecordList(&list);
    exporter.SetEdition(&velnor::kEditionPro);
    exporter.SetProgressBase(400);
    EXPECT_EQ(1, exporter.Export(path.c_str(), 2, &data));
    return velnor_test::ReadFile(path);
}

}  // namespace loaddata
