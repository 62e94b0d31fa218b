#ifndef KORVANI_INTERPRETER_TESTS_BATCHRUNNER_H
#define KORVANI_INTERPRETER_TESTS_BATCHRUNNER_H

#include <QByteArray>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

// Runs the built korvani-cmd on batch files in a temporary folder and
// collects what it writes and the status it ends with.
struct BatchRun
{
    QByteArray output;
    QByteArray error;
    int exitCode = -1; // also when it did not end normally
};

class BatchFolder
{
public:
    // A new folder holding "sub", and "my tools/show", a program that prints
    // its arguments one to a line in brackets.
    bool create();
    QString path() const { return m_path; }

    BatchRun runScript(const QByteArray &script, const QByteArray &input = QByteArray(),
                       const QStringList &parameters = QStringList());
    BatchRun runInterpreter(const QStringList &arguments, const QByteArray &input = QByteArray());
    BatchRun runProcess(const QString &program, const QStringList &arguments, const QByteArray &input,
                        const QProcessEnvironment &extra = QProcessEnvironment());
    // "<dir>" in an expected text stands for the folder the batch file runs
    // in, "<cmd>" for the korvani-cmd that runs it.
    QByteArray withFolder(QByteArray text) const;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

// Data-driven rows: a batch file, what it writes to its two channels, its
// exit status and its input.
void addBatchColumns();
void addBatchRow(const char *name, const QByteArray &script, const QByteArray &output,
                 const QByteArray &error = QByteArray(), int exitCode = 0, const QByteArray &input = QByteArray());
// Fetches the row and compares each part; call from a test function.
void checkBatchRow(BatchFolder &folder);

// The path of the korvani-cmd the tests run, links resolved, as it names itself.
QString interpreterPath();

// cmd's messages as the tests expect them, with their line ends.
extern const QByteArray notRecognized; // after the quoted name
extern const QByteArray syntaxError;
extern const QByteArray pathError;
extern const QByteArray fileError;
// Only the low byte of an error level reaches the parent as exit status.
inline int exitStatus(long long errorLevel)
{
    return int(errorLevel & 0xff);
}

#endif
