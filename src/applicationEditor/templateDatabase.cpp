#include "applicationEditor/templateDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>

namespace {

// A template name's wildcards as a regular expression: * any run of
// characters, slashes included, ? any one, [...] one of a set ([^...] one not
// in it; a ] first in the set is one of it). Empty when a set is not closed.
QString wildcardExpression(const QString &name)
{
    QString expression;
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        if (c == QLatin1Char('*')) {
            expression += QStringLiteral(".*");
        } else if (c == QLatin1Char('?')) {
            expression += QLatin1Char('.');
        } else if (c == QLatin1Char('[')) {
            int end = i + 1;
            if (end < name.size() && name.at(end) == QLatin1Char('^'))
                ++end;
            if (end < name.size() && name.at(end) == QLatin1Char(']'))
                ++end;
            end = name.indexOf(QLatin1Char(']'), end);
            if (end < 0)
                return QString();
            expression += QLatin1Char('[');
            for (int j = i + 1; j < end; ++j) {
                const QChar member = name.at(j);
                if ((member == QLatin1Char('^') && j == i + 1) || member == QLatin1Char('-')
                    || member.isLetterOrNumber())
                    expression += member;
                else
                    expression += QLatin1Char('\\') + member;
            }
            expression += QLatin1Char(']');
            i = end;
        } else {
            expression += QRegularExpression::escape(QString(c));
        }
    }
    return expression;
}

bool matchesTemplate(const QString &absolutePath, const QString &templateName)
{
    // A name without wildcard characters matches exactly where it occurs.
    if (!templateName.contains(QLatin1Char('*')) && !templateName.contains(QLatin1Char('?'))
        && !templateName.contains(QLatin1Char('[')))
        return absolutePath.contains(templateName, Qt::CaseInsensitive);
    // A set that is not closed, or a range backwards, matches nothing.
    const QString expression = wildcardExpression(templateName);
    const QRegularExpression pattern(
        expression, QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    return !expression.isEmpty() && pattern.isValid() && pattern.match(absolutePath).hasMatch();
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
