#ifndef KORVANI_DESKTOPENTRYROWS_H
#define KORVANI_DESKTOPENTRYROWS_H

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

// The rows of tests/data/desktopEntries.json, which Korvani's drops and
// korvani-cmd's reading of installed entries are both checked against: the
// file's bytes in the column "text" and what is expected of them in
// "expected", an object with these members, each optional:
// - "entry": whether the text is a desktop entry (true);
// - "application": whether it is one of an application (true);
// - "words": the program and arguments of its Exec key ([]);
// - "icon", "tryExec": the values of those keys ("");
// - "terminal", "hidden", "noDisplay": the booleans (false);
// - "names", "comments": the Name and Comment for each locale given.
// A row with "latin1" has its text written in ISO 8859-1 instead of UTF-8.
inline void addDesktopEntryRows(const QString &rowsFile)
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QJsonObject>("expected");
    QFile file(rowsFile);
    QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(rowsFile));
    QJsonParseError error;
    const QJsonArray rows = QJsonDocument::fromJson(file.readAll(), &error).array();
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QVERIFY(!rows.isEmpty());
    for (const QJsonValue &value : rows) {
        const QJsonObject row = value.toObject();
        const QString text = row.value(QStringLiteral("text")).toString();
        QTest::newRow(qPrintable(row.value(QStringLiteral("row")).toString()))
            << (row.value(QStringLiteral("latin1")).toBool() ? text.toLatin1() : text.toUtf8()) << row;
    }
}

// The Exec words a row expects.
inline QStringList expectedWords(const QJsonObject &expected)
{
    QStringList words;
    for (const QJsonValue &word : expected.value(QStringLiteral("words")).toArray())
        words.append(word.toString());
    return words;
}

#endif
