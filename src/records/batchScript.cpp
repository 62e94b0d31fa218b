#include "records/batchScript.h"

#include "platform/fileAccess.h"
#include "records/records.h"

#include <QDir>
#include <QFileInfo>

QString ApplicationData::batchScript() const
{
    QString script;
    if (!m_preScript.isEmpty())
        script += m_preScript + QLatin1Char('\n');
    for (const VariableData &environment : m_environments)
        script += QStringLiteral("set ") + environment.name() + QLatin1Char('=') + environment.value()
            + QLatin1Char('\n');
    script += QLatin1Char('"') + m_path + QLatin1Char('"');
    for (const VariableData &argument : m_arguments) {
        script += QLatin1Char(' ') + argument.name();
        if (!argument.value().isEmpty())
            script += QLatin1Char(' ') + argument.value();
    }
    return script;
}

QString ApplicationData::batchFileName() const
{
    QString fileName = m_name;
    if (!m_description.isEmpty())
        fileName += QLatin1Char('_') + m_description;
    for (const QChar c : QStringLiteral(" \\/\"'@#%^&*:;"))
        fileName.replace(c, QLatin1Char('_'));
    return fileName + QStringLiteral(".bat");
}

bool ApplicationData::writeBatchFile(const QString &filePath, QString *errorString) const
{
    // A folder that cannot be made shows when the file is written, with its reason.
    Platform::makeFolders(QFileInfo(filePath).absolutePath());
    // Whatever has the name may be a planted link or still be read, and the
    // set lines may hold secrets: replaced whole, the user's only.
    QString error;
    if (Platform::replaceFile(filePath, batchScript().toLocal8Bit(), &error, Platform::Durability::Temporary))
        return true;
    if (errorString)
        *errorString = error;
    return false;
}

QString batchArgument(const QString &word)
{
    // First as a program splits its command line: quoted when it holds blanks
    // or quotes, with the backslashes before a quote doubled and the quote
    // escaped.
    QString argument;
    if (!word.isEmpty() && !word.contains(QLatin1Char(' ')) && !word.contains(QLatin1Char('\t'))
        && !word.contains(QLatin1Char('"'))) {
        argument = word;
    } else {
        argument = QLatin1Char('"');
        int backslashes = 0;
        for (const QChar c : word) {
            if (c == QLatin1Char('\\')) {
                ++backslashes;
                continue;
            }
            argument += QString(c == QLatin1Char('"') ? 2 * backslashes + 1 : backslashes, QLatin1Char('\\')) + c;
            backslashes = 0;
        }
        argument += QString(2 * backslashes, QLatin1Char('\\')) + QLatin1Char('"');
    }
    // Then as the interpreter reads the line: every quote toggles its quoting,
    // outside which & | < > ^ act unless a caret escapes them; a batch file
    // writes a percent sign twice.
    QString line;
    bool quoted = false;
    for (const QChar c : qAsConst(argument)) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == QLatin1Char('%'))
            line += QLatin1Char('%');
        else if (!quoted && QStringLiteral("&|<>^").contains(c))
            line += QLatin1Char('^');
        line += c;
    }
    return line;
}

bool fitsBatchLine(const QString &word)
{
    for (const QChar c : word) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool fitsBatchProgramPath(const QString &path)
{
    return fitsBatchLine(path) && !path.contains(QLatin1Char('"')) && !path.contains(QLatin1Char('%'));
}
