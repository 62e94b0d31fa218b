// Template files and their values, and the program paths they are matched
// against (a dropped file's path).
#include "applicationEditor/templateDatabase.h"
#include "fuzzSupport.h"

#include <QSettings>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ensureApplication();
    static QTemporaryDir folder;
    static int count = 0;
    const QByteArray bytes = bytesOf(data, size);

    // The settings reader caches files by name: every input gets a new one.
    const QString fileName = folder.filePath(QStringLiteral("t%1.ini").arg(++count));
    {
        QFile file(fileName);
        check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "template written");
    }
    {
        QSettings settings(fileName, QSettings::IniFormat);
        readVariableTypes(&settings, QStringLiteral("arguments"));
        readVariableTypes(&settings, QStringLiteral("environments"));
    }
    QFile::remove(fileName);

    const QString text = QString::fromUtf8(bytes);
    parseVariableType(text);
    const ProgramTemplate found = findTemplate(text, QStringLiteral(KORVANI_TEMPLATE_FOLDER));
    check(found.filePath.endsWith(QStringLiteral(".ini")), "a template file name");
    return 0;
}
