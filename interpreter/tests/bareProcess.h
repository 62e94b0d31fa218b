#ifndef KORVANI_INTERPRETER_TESTS_BAREPROCESS_H
#define KORVANI_INTERPRETER_TESTS_BAREPROCESS_H

#include <QProcess>

#include <unistd.h>

// Starts the interpreter with no handle open but the standard three, so that
// any other handle a program it starts holds came from the interpreter.
class BareProcess : public QProcess
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
public:
    BareProcess()
    {
        setChildProcessModifier([] { close_range(3, ~0U, 0); });
    }
#else
protected:
    void setupChildProcess() override
    {
        close_range(3, ~0U, 0);
    }
#endif
};

#endif
