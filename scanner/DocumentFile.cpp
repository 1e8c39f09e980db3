#include "scanner/DocumentFile.h"

#include "platform/rtl/SysUtils.h"

std::string WithDefaultExt(const std::string& FileName, const std::string& Extension) {
    if (ExtractFileName(FileName).find('.') != std::string::npos)
        return FileName;
    return FileName + Extension;
}
