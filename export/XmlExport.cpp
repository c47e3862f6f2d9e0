#include "export/XmlExport.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "common/File.h"
#include "common/NumberText.h"
#include "common/Sjis.h"
#include "export/FullWidth.h"
#include "export/ProgramString.h"
#include "export/SupportInf.h"
#include "export/XmlWriter.h"

namespace {

namespace host = velnor::host;
namespace data_info = velnor::host::data_info;

const char kDeclaration[] = "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n";
const char kDefaultProgramVersion[] = "20.00.0X";

// A destination that cannot take the document (a folder, or a file that cannot be
// opened for writing: read-only, or held by another program) fails the export before
// anything is written, as opening it for the document would. So does anything but a
// plain file: a device or a pipe must never be replaced by the new file.
bool DestinationUsable(const char* path) {
    if (!velnor::PathExists(path)) return true;
    if (!velnor::IsRegularFilePath(path)) return false;
    velnor::ClFile probe;
    if (!probe.Open(path, velnor::ClFile::kWrite | velnor::ClFile::kShareExclusive)) return false;
    probe.Abort();
    return true;
}

}  // namespace

void ClXmlExport::Pulse() {
    if (progress_ != nullptr) progress_->PulseProgress();
}

void ClXmlExport::Advance(int from, int to) {
    if (progress_ != nullptr) {
        progress_->AdvanceProgress(static_cast<short>(from), static_cast<short>(to));
    }
}

int ClXmlExport::Export(const char* path, short functionId, const StDATAINFO* dataInfo) {
    velnor::ClFile file;
    ClXmlWriter writer;
    // Through a symbolic link the document replaces the file the link names; the link
    // stays. A link that leads nowhere is refused.
    const std::string destination = velnor::FinalPath(path);
    std::string temp;
    if (!destination.empty() && DestinationUsable(destination.c_str()) &&
        file.CreateTempBeside(destination.c_str())) {
        temp = file.path();
        writer.Attach(&file);
    }

    writer.WriteRaw(kDeclaration);
    char reportLine[512];
    writer.WriteStartTag(reportLine, "REPORT", 0);
    Pulse();

    int result = 0;
    if (WriteSystem(writer, functionId)) {
        Pulse();
        if (WriteBasic(writer, dataInfo)) {
            Pulse();
            if (WriteData(writer)) {
                Pulse();
                result = 1;
            }
        }
    }
    writer.WriteEndTag(reportLine, "REPORT", 0);
    writer.Close();

    if (temp.empty()) return 0;
    // Every line counts, the declaration and the REPORT lines included: a document that
    // lost any of them must not replace the destination.
    if (result == 1 && !writer.Failed() &&
        velnor::ReplaceFilePath(temp.c_str(), destination.c_str())) {
        return 1;
    }
    velnor::RemoveFilePath(temp.c_str());
    return 0;
}

int ClXmlExport::WriteSystem(ClXmlWriter& writer, short functionId) {
    char line[256];
    if (!writer.WriteStartTag(line, "SYSTEM", 1)) return 0;

    if (!writer.WriteElement(line, "GYOUMUPREFIX", "MV14", 2)) return 0;
    Pulse();
    if (!writer.WriteElement(line, "VERSION", "1", 2)) return 0;
    Pulse();
    char number[16];
    std::snprintf(number, sizeof number, "%d", functionId);
    if (!writer.WriteElement(line, "FUNCTIONID", number, 2)) return 0;
    Pulse();
    char programVersion[256] = {};
    velnor::LoadProgramString(velnor::kStringConnectedProgramVersion, programVersion,
                              sizeof programVersion);
    if (!writer.WriteElement(line, "CONNECTEDPROGRAMVER", programVersion, 2)) return 0;
    Pulse();

    ClSupportInf support;
    char name[256] = {};
    const char* value = support.GetProductName();
    velnor::CopyField(name, sizeof name, value, std::strlen(value));
    const velnor::Edition& edition = edition_ ? *edition_ : velnor::kEditionPro;
    if (!writer.WriteElement(line, "PROGRAMNAME", name[0] ? name : edition.programName, 2)) {
        return 0;
    }
    Pulse();
    char version[256] = {};
    value = support.GetProductVersion();
    velnor::CopyField(version, sizeof version, value, std::strlen(value));
    if (!writer.WriteElement(line, "PROGRAMVER", version[0] ? version : kDefaultProgramVersion,
                             2)) {
        return 0;
    }
    Pulse();

    if (!writer.WriteEndTag(line, "SYSTEM", 1)) return 0;
    Advance(progressBase_, progressBase_ + 100);
    return 1;
}

int ClXmlExport::WriteBasic(ClXmlWriter& writer, const StDATAINFO* dataInfo) {
    char line[256];
    if (!writer.WriteStartTag(line, "BASIC", 1)) return 0;
    if (dataInfo == nullptr) return 0;

    char company[data_info::kCompanyName.kSize + 1];
    host::ReadText(*dataInfo, data_info::kCompanyName, company, sizeof company);
    if (!writer.WriteElement(line, "KOMONSAKINAME", ToFullWidth(company), 2)) return 0;
    Pulse();
    char number[16];
    std::snprintf(number, sizeof number, "%d",
                  static_cast<int>(host::Read(*dataInfo, data_info::kPeriodStart)));
    if (!writer.WriteElement(line, "JIGYOUNENDOFROM", number, 2)) return 0;
    Pulse();
    std::snprintf(number, sizeof number, "%d",
                  static_cast<int>(host::Read(*dataInfo, data_info::kPeriodEnd)));
    if (!writer.WriteElement(line, "JIGYOUNENDOTO", number, 2)) return 0;
    Pulse();

    int rounding;
    switch (host::Read(*dataInfo, data_info::kRounding)) {
        case 0:
            rounding = 3;
            break;
        case 1:
            rounding = 2;
            break;
        case 2:
            rounding = 1;
            break;
        default:
            return 0;
    }
    std::snprintf(number, sizeof number, "%d", rounding);
    if (!writer.WriteElement(line, "HASUU_SYOUKYAKU", number, 2)) return 0;
    Pulse();
    std::snprintf(number, sizeof number, "%d", 1);
    if (!writer.WriteElement(line, "HASUU_ZANZON", number, 2)) return 0;
    Pulse();

    if (!writer.WriteEndTag(line, "BASIC", 1)) return 0;
    Advance(progressBase_ + 100, progressBase_ + 200);
    return 1;
}

int ClXmlExport::WriteData(ClXmlWriter& writer) {
    char line[256];
    if (!writer.WriteStartTag(line, "DATA", 1)) return 0;

    if (records_ != nullptr) {
        int count = 0;
        char countText[16];
        for (const auto& record : *records_) {
            if (!record) continue;
            ++count;
            velnor::FormatInteger(count, 0, countText, sizeof countText);
            if (!writer.WriteStartTag(line, "SISAN", 2, "Count", countText)) return 0;
            const char* base = reinterpret_cast<const char*>(record.get());
            for (const StAssetRecordField& field : kAssetRecordFields) {
                const char* text = base + field.offset;
                if (!writer.WriteElementN(line, field.name, text,
                                          velnor::FieldLength(text, field.width), 3)) {
                    return 0;
                }
            }
            if (!writer.WriteEndTag(line, "SISAN", 2)) return 0;
            Pulse();
        }
    }

    if (!writer.WriteEndTag(line, "DATA", 1)) return 0;
    Advance(progressBase_ + 200, progressBase_ + 300);
    return 1;
}

const char* ClXmlExport::ToFullWidth(const char* text) {
    static char result[128];
    std::memset(result, 0, sizeof result);
    if (text == nullptr) return result;
    // 64 bytes: a name of 30 bytes maps to at most 60, and no name goes beyond 63.
    velnor::MapToFullWidth(text, std::strlen(text), result, 64);
    return result;
}
