#include "applicationEditor/templateDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QRegExp>
#include <QSettings>

namespace {

bool matchesTemplate(const QString &absolutePath, const QString &templateName)
{
    // A name without wildcard characters matches exactly where it occurs.
    if (!templateName.contains(QLatin1Char('*')) && !templateName.contains(QLatin1Char('?'))
        && !templateName.contains(QLatin1Char('[')))
        return absolutePath.contains(templateName, Qt::CaseInsensitive);
    const QRegExp pattern(QLatin1Char('*') + templateName + QLatin1Char('*'), Qt::CaseInsensitive, QRegExp::Wildcard);
    return pattern.exactMatch(absolutePath);
}

} // namespace

ProgramTemplate findTemplate(const QString &programPath, const QString &folder)
{
    const QString absolutePath = programPath.isEmpty() ? QString() : QFileInfo(programPath).absoluteFilePath();
    const QDir directory(QFileInfo(folder).absoluteFilePath());
    ProgramTemplate found;
    for (const QString &entry : directory.entryList()) {
        if (entry == QLatin1String(".") || entry == QLatin1String(".."))
            continue;
        const QString name = QFileInfo(entry).completeBaseName();
        if (matchesTemplate(absolutePath, name)) {
            found.name = name;
            break;
        }
    }
    found.filePath = directory.path() + QLatin1Char('/') + found.name + QStringLiteral(".ini");
    return found;
}

VariableType parseVariableType(const QString &value)
{
    const QStringList parts = value.split(QLatin1Char(':'), Qt::KeepEmptyParts);
    VariableType type;
    type.type = parts.first().toInt();
    if (type.type == VariableType::ChoiceType && parts.size() == 2)
        type.options = parts.at(1).split(QLatin1Char(','), Qt::KeepEmptyParts);
    return type;
}

VariableTypeHash readVariableTypes(QSettings *settings, const QString &group)
{
    VariableTypeHash types;
    settings->beginGroup(group);
    for (const QString &key : settings->allKeys())
        types.insert(key, parseVariableType(settings->value(key, QString()).toString()));
    settings->endGroup();
    return types;
}
