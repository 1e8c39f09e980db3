#include "platform/ui/Text.h"

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
    return mCollator.compare(Decode(S1), Decode(S2));
}

QString TLocaleStringList::Decode(const std::string& S) const {
    return mEntries == TEntryText::Ansi ? FromAnsi(S) : FromFileName(S);
}
