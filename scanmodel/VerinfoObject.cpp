#include "scanmodel/VerinfoObject.h"

TVerInfoRes::TVerInfoRes(const std::string& FileName) : mFileName(FileName) {
    throw ENoVerInfoError("No Version Info Available.");
}

std::string TVerInfoRes::GetString(Byte) const {
    return {};
}

std::string TVerInfoRes::FixedFileVersion() const {
    return {};
}

bool TVerInfoRes::QueryValue(const std::string&, std::size_t&, std::size_t&, bool&) const {
    return false;
}
