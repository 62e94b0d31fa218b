#ifndef KORVANI_TEMPLATEDATABASE_H
#define KORVANI_TEMPLATEDATABASE_H

#include "variableEditor/variableType.h"

#include <QString>

class QSettings;

// The template of a program: its name (empty when none fits) and the file
// that would hold it, which need not exist.
struct ProgramTemplate
{
    QString name;
    QString filePath;
};

// Finds the template whose name occurs, ignoring case and with wildcards, in
// the program's absolute path; the first in name order wins.
ProgramTemplate findTemplate(const QString &programPath, const QString &folder);

// Reads a template value: a type code, and for a choice its items.
VariableType parseVariableType(const QString &value);

// The type table of one section ("arguments" or "environments") of a template.
VariableTypeHash readVariableTypes(QSettings *settings, const QString &group);

#endif
