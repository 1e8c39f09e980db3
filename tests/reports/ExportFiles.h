#pragma once
// Export files as the tests read them: the bytes, and the CR LF terminated lines.

#include <QFile>
#include <QString>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace reportstest {

inline std::string ReadAll(const QString& Name) {
    QFile F(Name);
    if (!F.open(QIODevice::ReadOnly))
        return "<missing>";
    return F.readAll().toStdString();
}

/// The lines of Text, each ended by CR LF; text after the last line end is a failure.
inline std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> Result;
    std::size_t Start = 0;
    for (std::size_t End; (End = Text.find("\r\n", Start)) != std::string::npos; Start = End + 2)
        Result.push_back(Text.substr(Start, End - Start));
    EXPECT_EQ(Start, Text.size()) << "text after the last line end";
    return Result;
}

} // namespace reportstest
