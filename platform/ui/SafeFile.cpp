#include "platform/ui/SafeFile.h"

#include "platform/ui/Text.h"

#include <QFileInfo>
#include <QSaveFile>

void SaveFileSafely(const std::string& FileName, const std::function<void(TStream&)>& Write) {
    TMemoryStream Data;
    Write(Data);
    const QString Name = FromFileName(FileName);
    const QFileInfo Info(Name);
    // A read-only file is not to be replaced, even though its folder would allow it.
    if (Info.isDir() || (Info.exists() && !Info.isWritable()))
        throw EFCreateError(Format("Cannot create file %s", FileName));
    QSaveFile File(Name);
    if (!File.open(QIODevice::WriteOnly))
        throw EFCreateError(Format("Cannot create file %s", FileName));
    const auto Size = static_cast<qint64>(Data.Bytes().size());
    if (File.write(Data.Memory(), Size) != Size || !File.commit())
        throw EWriteError(Format("Cannot write file %s", FileName));
}
