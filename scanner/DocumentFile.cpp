#include "scanner/DocumentFile.h"

#include "scanmodel/ScanInfo.h"

std::unique_ptr<TQuorvex> ReadDocument(const std::string& FileName) {
    return LoadScanDocument(FileName);
}

void WriteDocument(TQuorvex& Document, const std::string& FileName) {
    SaveScanDocument(Document, FileName);
}

std::string WithDefaultExt(const std::string& FileName, const std::string& Extension) {
    if (ExtractFileName(FileName).find('.') != std::string::npos)
        return FileName;
    return FileName + Extension;
}
