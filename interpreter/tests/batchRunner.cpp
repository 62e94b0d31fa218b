#include "batchRunner.h"

#include "bareProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

const QByteArray notRecognized = "' is not recognized as an internal or external command,\n"
                                 "operable program or batch file.\n";
const QByteArray syntaxError = "The syntax of the command is incorrect.\n";
const QByteArray pathError = "The system cannot find the path specified.\n";
const QByteArray fileError = "The system cannot find the file specified.\n";

QString interpreterPath()
{
    return QFileInfo(QStringLiteral(KORVANI_CMD)).canonicalFilePath();
}

QByteArray BatchFolder::withFolder(QByteArray text) const
{
    return text.replace("<dir>", m_path.toUtf8()).replace("<cmd>", interpreterPath().toUtf8());
}

bool BatchFolder::create()
{
    m_dir = std::make_unique<QTemporaryDir>();
    if (!m_dir->isValid())
        return false;
    m_path = QDir(m_dir->path()).canonicalPath();
    QDir folder(m_path);
    QFile show(folder.filePath(QStringLiteral("my tools/show")));
    if (!folder.mkpath(QStringLiteral("sub")) || !folder.mkpath(QStringLiteral("my tools"))
        || !show.open(QIODevice::WriteOnly))
        return false;
    show.write("#!/bin/sh\nprintf '[%s]\\n' \"$@\"\n");
    show.close();
    return show.setPermissions(show.permissions() | QFile::ExeOwner);
}

BatchRun BatchFolder::runScript(const QByteArray &script, const QByteArray &input, const QStringList &parameters)
{
    QFile file(QDir(m_path).filePath(QStringLiteral("run.bat")));
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        return BatchRun();
    file.close();
    return runInterpreter(QStringList{QStringLiteral("/c"), QStringLiteral("run.bat")} + parameters, input);
}

BatchRun BatchFolder::runInterpreter(const QStringList &arguments, const QByteArray &input)
{
    return runProcess(QStringLiteral(KORVANI_CMD), arguments, input);
}

BatchRun BatchFolder::runProcess(const QString &program, const QStringList &arguments, const QByteArray &input,
                                 const QProcessEnvironment &extra)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("Korvani_Mixed"), QStringLiteral("one"));
    environment.insert(QStringLiteral("KORVANI_MIXED"), QStringLiteral("two"));
    environment.insert(extra);
    BareProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_path);
    process.start(program, arguments);
    BatchRun run;
    if (!process.waitForStarted(10000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.output = process.readAllStandardOutput();
    run.error = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit && process.state() == QProcess::NotRunning)
        run.exitCode = process.exitCode();
    return run;
}

void addBatchColumns()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("input");
}

void addBatchRow(const char *name, const QByteArray &script, const QByteArray &output, const QByteArray &error,
                 int exitCode, const QByteArray &input)
{
    QTest::newRow(name) << script << output << error << exitCode << input;
}

void checkBatchRow(BatchFolder &folder)
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, error);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, input);

    const BatchRun run = folder.runScript(script, input);
    QCOMPARE(run.error, folder.withFolder(error));
    QCOMPARE(run.output, folder.withFolder(output));
    QCOMPARE(run.exitCode, exitCode);
}
