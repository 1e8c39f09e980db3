#include "platform/ui/Text.h"

#include "platform/rtl/SysUtils.h"
#include "platform/rtl/TextCodec.h"

#include <QFile>

QString FromAnsi(std::string_view S) {
    return QString::fromStdString(Cp1252ToUtf8(S));
}

std::string ToAnsi(const QString& S) {
    return Utf8ToCp1252(S.toStdString());
}

QString FromFileName(const std::string& FileName) {
    return QFile::decodeName(QByteArray::fromStdString(FileName));
}

std::string ToFileName(const QString& FileName) {
    return QFile::encodeName(FileName).toStdString();
}

QString FromMessage(std::string_view S) {
    return LooksLikeUtf8(S) ? QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())) : FromAnsi(S);
}

TLocaleStringList::TLocaleStringList(TEntryText Entries) : mEntries(Entries) {
    mCollator.setCaseSensitivity(Qt::CaseInsensitive);
}

int TLocaleStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
    const QString T1 = Decode(S1), T2 = Decode(S2);
    // A file name that is not text in the system's encoding is compared by its bytes, so that two
    // such names never pass for one.
    if (mEntries == TEntryText::FileName && (ToFileName(T1) != S1 || ToFileName(T2) != S2))
        return CompareText(S1, S2);
    return mCollator.compare(T1, T2);
}

QString TLocaleStringList::Decode(const std::string& S) const {
    return mEntries == TEntryText::Ansi ? FromAnsi(S) : FromFileName(S);
}
