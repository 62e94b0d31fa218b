#ifndef KORVANI_VARIABLETYPE_H
#define KORVANI_VARIABLETYPE_H

#include <QHash>
#include <QString>
#include <QVariant>

// What a template knows about one variable: the kind of value it takes.
struct VariableType
{
    enum Code {
        TextType,
        IntegerType,
        RealType,
        BooleanType,
        ChoiceType,
        NoValueType,
        PathListType,
        DirectoryType,
        FileType,
    };

    int type = TextType;
    QVariant options; // the items of a ChoiceType, as a QStringList
};

// Known variables by exact, case-sensitive name.
using VariableTypeHash = QHash<QString, VariableType>;

Q_DECLARE_METATYPE(VariableType)

#endif
