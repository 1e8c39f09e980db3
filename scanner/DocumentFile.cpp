#include "scanner/DocumentFile.h"

#include "platform/rtl/SafeFile.h"
#include "scanmodel/ScanInfo.h"
#include "streams/Filters.h"

std::unique_ptr<TQuorvex> ReadDocument(const std::string& FileName) {
    return LoadScanDocument(FileName);
}

void WriteDocument(TQuorvex& Document, const std::string& FileName) {
    SaveFileSafely(FileName, [&](TStream& Data) {
        TBufferedFilter Stream(&Data, 4096);
        Stream.WriteObject(&Document);
        Stream.FlushBuffer();
    });
}

std::string WithDefaultExt(const std::string& FileName, const std::string& Extension) {
    if (ExtractFileName(FileName).find('.') != std::string::npos)
        return FileName;
    return FileName + Extension;
}
