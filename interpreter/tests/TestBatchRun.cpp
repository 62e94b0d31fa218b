#include "bareProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Runs the built korvani-cmd on batch files and compares what it writes and
// the status it ends with. "<dir>" in an expected text stands for the folder
// the batch file runs in.
class TestBatchRun : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void echo_data();
    void echo() { checkRun(); }
    void errorLevels_data();
    void errorLevels() { checkRun(); }
    void variables_data();
    void variables() { checkRun(); }
    void quoting_data();
    void quoting() { checkRun(); }
    void redirections_data();
    void redirections() { checkRun(); }
    void flow_data();
    void flow() { checkRun(); }
    void conditions_data();
    void conditions() { checkRun(); }
    void directories_data();
    void directories() { checkRun(); }
    void input_data();
    void input() { checkRun(); }
    void unsupported_data();
    void unsupported() { checkRun(); }
    void parametersFromCommandLine();
    void invocation_data();
    void invocation();
    void longLines();
    void startDoesNotWait();
    void noZombiesNorLeakedHandles();
    void deepNestingStopsCleanly();

private:
    struct Run
    {
        QByteArray output;
        QByteArray error;
        int exitCode = -1; // also when it did not end normally
    };

    static void addColumns();
    static void addRow(const char *name, const QByteArray &script, const QByteArray &output,
                       const QByteArray &error = QByteArray(), int exitCode = 0,
                       const QByteArray &input = QByteArray());
    void checkRun();
    Run runScript(const QByteArray &script, const QByteArray &input = QByteArray(),
                  const QStringList &parameters = QStringList());
    Run runInterpreter(const QStringList &arguments, const QByteArray &input = QByteArray());
    Run runProcess(const QString &program, const QStringList &arguments, const QByteArray &input);
    QByteArray withFolder(QByteArray text) const { return text.replace("<dir>", m_path.toUtf8()); }

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

namespace {

const QByteArray notRecognized = "' is not recognized as an internal or external command,\n"
                                 "operable program or batch file.\n";
const QByteArray syntaxError = "The syntax of the command is incorrect.\n";
const QByteArray pathError = "The system cannot find the path specified.\n";
// 9009 as a process exit status: only its low byte reaches the parent.
const int notFoundStatus = 9009 & 0xff;

} // namespace

void TestBatchRun::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = QDir(m_dir->path()).canonicalPath();
    QDir folder(m_path);
    QVERIFY(folder.mkpath(QStringLiteral("sub")));
    QVERIFY(folder.mkpath(QStringLiteral("my tools")));
    QFile show(folder.filePath(QStringLiteral("my tools/show")));
    QVERIFY(show.open(QIODevice::WriteOnly));
    show.write("#!/bin/sh\nprintf '[%s]\\n' \"$@\"\n");
    show.close();
    QVERIFY(show.setPermissions(show.permissions() | QFile::ExeOwner));
}

void TestBatchRun::addColumns()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QByteArray>("input");
}

void TestBatchRun::addRow(const char *name, const QByteArray &script, const QByteArray &output, const QByteArray &error,
                          int exitCode, const QByteArray &input)
{
    QTest::newRow(name) << script << output << error << exitCode << input;
}

void TestBatchRun::checkRun()
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, error);
    QFETCH(int, exitCode);
    QFETCH(QByteArray, input);

    const Run run = runScript(script, input);
    QCOMPARE(run.error, withFolder(error));
    QCOMPARE(run.output, withFolder(output));
    QCOMPARE(run.exitCode, exitCode);
}

TestBatchRun::Run TestBatchRun::runScript(const QByteArray &script, const QByteArray &input,
                                          const QStringList &parameters)
{
    QFile file(QDir(m_path).filePath(QStringLiteral("run.bat")));
    if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size())
        return Run();
    file.close();
    return runInterpreter(QStringList{QStringLiteral("/c"), QStringLiteral("run.bat")} + parameters, input);
}

TestBatchRun::Run TestBatchRun::runInterpreter(const QStringList &arguments, const QByteArray &input)
{
    return runProcess(QStringLiteral(KORVANI_CMD), arguments, input);
}

TestBatchRun::Run TestBatchRun::runProcess(const QString &program, const QStringList &arguments,
                                           const QByteArray &input)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    environment.insert(QStringLiteral("Korvani_Mixed"), QStringLiteral("one"));
    environment.insert(QStringLiteral("KORVANI_MIXED"), QStringLiteral("two"));
    BareProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(m_path);
    process.start(program, arguments);
    Run run;
    if (!process.waitForStarted(10000))
        return run;
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished(5000);
    }
    run.output = process.readAllStandardOutput();
    run.error = process.readAllStandardError();
    if (process.exitStatus() == QProcess::NormalExit && process.state() == QProcess::NotRunning)
        run.exitCode = process.exitCode();
    return run;
}

void TestBatchRun::echo_data()
{
    addColumns();
    addRow("prompt before each command", "set X=1\necho %X%\n", "\n<dir>>set X=1\n\n<dir>>echo 1\n1\n");
    addRow("at sign hides one line", "@echo a\necho b\n", "a\n\n<dir>>echo b\nb\n");
    addRow("echo off", "@echo off\necho a\n/bin/true\n", "a\n");
    addRow("echo off is itself echoed", "echo off\necho a\n", "\n<dir>>echo off\na\n");
    addRow("echo on again", "@echo off\necho a\necho on\necho b\n", "a\n\n<dir>>echo b\nb\n");
    addRow("state when on", "@echo\n@echo   \n", "ECHO is on.\nECHO is on.\n");
    addRow("state when off in any case", "@ECHO OFF\nEcho\n", "ECHO is off.\n");
    addRow("empty line and other separators", "@echo.\n@echo:x\n@echo(y\n@echo/\n", "\nx\ny\n\n");
    addRow("text after one blank kept as is", "@echo  two  spaces  \n", " two  spaces  \n");
    addRow("quotes kept", "@echo \"a b\" 'c'\n", "\"a b\" 'c'\n");
    addRow("a word starting with on", "@echo on top\n", "on top\n");
    addRow("labels blank lines and comments", "\n   \n:label\n:: note\nrem note\necho x\n",
           "\n<dir>>rem note\n\n<dir>>echo x\nx\n");
    addRow("carets escape", "@echo a^&b ^<c^> ^^ ^|\n", "a&b <c> ^ |\n");
    addRow("quotes hide operators", "@echo \"a&b|c>d\"\n", "\"a&b|c>d\"\n");
    addRow("blank before ampersand stays", "@echo a & echo b\n", "a \nb\n");
    addRow("no final line feed", "@echo a\n@echo b", "a\nb\n");
    addRow("carriage returns", "@echo a\r\n@echo b\r\n", "a\nb\n");
    addRow("echo of a block", "if a==a (\necho 1\n)\n", "\n<dir>>if a==a (\necho 1\n)\n1\n");
}

void TestBatchRun::errorLevels_data()
{
    addColumns();
    addRow("program not found", "@nosuch-program x\n", "", "'nosuch-program" + notRecognized, notFoundStatus);
    addRow("quoted program not found", "@\"/no such/p\" x\n", "", "'\"/no such/p\"" + notRecognized, notFoundStatus);
    addRow("a folder is no program", "@/tmp\n", "", "'/tmp" + notRecognized, notFoundStatus);
    addRow("error level 9009", "@nosuch 2>nul\n@echo %ERRORLEVEL%\n", "9009\n", "", notFoundStatus);
    addRow("not executable", "@echo x>plain.txt\n@./plain.txt\n@echo %ERRORLEVEL%\n", "1\n", "Access is denied.\n", 1);
    addRow("program exit code", "@/bin/sh -c \"exit 5\"\n@echo %errorlevel%\n", "5\n", "", 5);
    addRow("status is the last error level", "@/bin/sh -c \"exit 3\"\n@echo x\n@set A=1\n", "x\n", "", 3);
    addRow("killed by a signal", "@/bin/sh -c \"kill -TERM $$\"\n@echo %ERRORLEVEL%\n", "143\n", "", 143);
    addRow("exit with a number", "@exit 4\n@echo not reached\n", "", "", 4);
    addRow("exit keeps the error level", "@/bin/false\n@exit\n", "", "", 1);
    addRow("exit from a subroutine ends all", "@call :sub\n@echo not reached\n@goto :eof\n:sub\n@exit 6\n", "", "", 6);
    addRow("cd clears the error level", "@/bin/false\n@cd .\n", "", "", 0);
    addRow("and or", "@/bin/false && echo no || echo yes\n@/bin/true && echo ok\n", "yes\nok\n");
    addRow("failure skips a chain", "@/bin/false && echo a && echo b\n", "", "", 1);
    addRow("ampersand runs both", "@/bin/false & echo next\n", "next\n", "", 1);
    addRow("built-in failure for or", "@cd nowhere 2>nul || echo failed\n", "failed\n", "", 1);
}

void TestBatchRun::variables_data()
{
    addColumns();
    addRow("set and expand", "@set NAME=value\n@echo [%NAME%]\n", "[value]\n");
    addRow("undefined is empty", "@echo [%NOPE%]\n", "[]\n");
    addRow("double percent", "@echo 100%%\n", "100%\n");
    addRow("lone percent dropped", "@echo 50% off\n", "50 off\n");
    addRow("quoted assignment", "@set \"A=x y\" trailing\n@echo [%A%]\n", "[x y]\n");
    addRow("quotes in the value stay", "@set A=\"x\"\n@echo %A%\n", "\"x\"\n");
    addRow("trailing blank stays", "@set A=x \n@echo [%A%]\n", "[x ]\n");
    addRow("empty value removes", "@set A=1\n@set A=\n@if defined A (echo yes) else (echo no)\n", "no\n");
    addRow("names in any case", "@set Mixed=1\n@echo %MIXED% %mixed%\n", "1 1\n");
    addRow("path in any case", "@echo %path%\n", "/usr/bin:/bin\n");
    addRow("exact spelling first", "@echo %Korvani_Mixed% %KORVANI_MIXED%\n", "one two\n");
    addRow("another case updates", "@set A=1\n@set a=2\n@set A\n", "A=2\n");
    addRow("setting path in another case", "@set path=/nowhere\n@true\n", "", "'true" + notRecognized, notFoundStatus);
    addRow("list sorted", "@set B_V=2\n@set a_v=1\n@set\n",
           "a_v=1\nB_V=2\nKORVANI_MIXED=two\nKorvani_Mixed=one\nLANG=C.UTF-8\nPATH=/usr/bin:/bin\n");
    addRow("list by prefix", "@set la\n", "LANG=C.UTF-8\n");
    addRow("prefix not found", "@set nothing_here\n", "", "Environment variable nothing_here not defined\n", 1);
    addRow("no name", "@set =x\n", "", syntaxError, 1);
    addRow("programs see variables", "@set KV=hello\n@/bin/sh -c \"echo $KV\"\n", "hello\n");
    addRow("programs lose removed ones", "@set KORVANI_MIXED=\n@/bin/sh -c \"echo [$KORVANI_MIXED]\"\n", "[]\n");
    addRow("parameters of a call", "@call :show a \"b c\" d\n@goto :eof\n:show\n@echo %0 1=%1 2=%2 3=%3 4=[%4] %*\n",
           ":show 1=a 2=\"b c\" 3=d 4=[] a \"b c\" d\n");
    addRow("batch as given", "@echo %0 [%1]\n", "run.bat []\n");
    addRow("batch folder", "@echo %~dp0\n", "<dir>/\n");
    addRow("path parts", "@echo %~f0 %~n0 %~x0 %~nx0 %~d0\n", "<dir>/run.bat run .bat run.bat \n");
    addRow("batch folder in a subroutine", "@cd sub\n@call :s\n@goto :eof\n:s\n@echo %~dp0 %~f1\n", "<dir>/ \n");
    addRow("parameter without quotes", "@call :s \"a b\" sub\\..\\x\n@goto :eof\n:s\n@echo %~1 %~f2\n",
           "a b <dir>/sub\\..\\x\n");
    addRow("parameter found on a path", "@call :s sh\n@goto :eof\n:s\n@echo %~$PATH:1\n", "/usr/bin/sh\n");
    addRow("shift", "@call :s a b c\n@goto :eof\n:s\n@shift\n@echo %0 %1 %2 [%3] %*\n", "a b c [] a b c\n");
    addRow("substrings", "@set V=abcdef\n@echo %V:~1,3% %V:~-2% %V:~0,-2% %V:~4%\n", "bcd ef abcd ef\n");
    addRow("replacements", "@set V=a-b-C\n@echo %V:-=+% %V:c=x% %V:*-=%\n", "a+b+C a-b-x b-C\n");
    addRow("current folder and error level", "@/bin/sh -c \"exit 2\"\n@echo %CD% %ERRORLEVEL%\n", "<dir> 2\n", "", 2);
    addRow("set error level wins", "@set ERRORLEVEL=x\n@echo %ERRORLEVEL%\n", "x\n");
    addRow("expanded when the line is read", "@set V=1\n@set V=2& echo %V%\n@echo %V%\n", "1\n2\n");
    addRow("call expands again", "@set V=inner\n@call echo %%V%%\n", "inner\n");
    addRow("setlocal and endlocal", "@set V=outer\n@setlocal\n@set V=inner\n@echo %V%\n@endlocal\n@echo %V%\n",
           "inner\nouter\n");
    addRow("end of a call ends its setlocal", "@set V=1\n@call :s\n@echo %V%\n@goto :eof\n:s\n@setlocal\n@set V=2\n",
           "1\n");
    addRow("path command", "@path /a:/b\n@path\n@path ;\n@path\n", "PATH=/a:/b\nNo Path\n");
}

void TestBatchRun::quoting_data()
{
    addColumns();
    const QByteArray show = "@printf \"[%%s]\\n\" ";
    addRow("blanks separate", show + "a b  c\n", "[a]\n[b]\n[c]\n");
    addRow("tabs separate", show + "a\tb\n", "[a]\n[b]\n");
    addRow("quotes group", show + "\"a b\" c\n", "[a b]\n[c]\n");
    addRow("quotes inside a word", show + "a\"b c\"d\n", "[ab cd]\n");
    addRow("empty quotes", show + "\"\" x\n", "[]\n[x]\n");
    addRow("backslash quote", show + "a\\\"b\n", "[a\"b]\n");
    addRow("two backslashes then quote", show + "\"a\\\\\" b\n", "[a\\]\n[b]\n");
    addRow("three backslashes then quote", show + "a\\\\\\\"b\n", "[a\\\"b]\n");
    addRow("backslashes elsewhere", show + "a\\\\b\\c\\\n", "[a\\\\b\\c\\]\n");
    addRow("doubled quote inside quotes", show + "\"a\"\"b\" c\n", "[a\"b]\n[c]\n");
    addRow("single quotes are plain", show + "'a b'\n", "['a]\n[b']\n");
    addRow("escaped operators", show + "a^&b ^\"c d^\"\n", "[a&b]\n[c d]\n");
    addRow("operators inside quotes", show + "\"a&b|c<d>e\"\n", "[a&b|c<d>e]\n");
    addRow("quoted program path", "@\"/usr/bin/printf\" \"[%%s]\\n\" x\n", "[x]\n");
    addRow("program path with a blank", "@\"my tools/show\" a \"b c\"\n", "[a]\n[b c]\n");
    addRow("launch line", "@set GREETING=hi\n@\"my tools/show\" -t a b -o \"out file\"\n",
           "[-t]\n[a]\n[b]\n[-o]\n[out file]\n");
}

void TestBatchRun::redirections_data()
{
    addColumns();
    addRow("write and append", "@echo one>o.txt\n@echo two>>o.txt\n@/bin/cat o.txt\n", "one\ntwo\n");
    addRow("blank before the redirection stays", "@echo one >o.txt\n@/bin/cat o.txt\n", "one \n");
    addRow("write truncates", "@echo long line>o.txt\n@echo s>o.txt\n@/bin/cat o.txt\n", "s\n");
    addRow("input", "@echo data>in.txt\n@/bin/cat <in.txt\n", "data\n");
    addRow("errors to a file", "@nosuch 2>e.txt\n@/bin/cat e.txt\n", "'nosuch" + notRecognized);
    addRow("errors with output", "@/bin/sh -c \"echo out; echo err >&2\" >both.txt 2>&1\n@/bin/cat both.txt\n",
           "out\nerr\n");
    addRow("nul in any case", "@echo hidden>nul\n@echo hidden >NUL\n@nosuch 2>Nul\n@echo shown\n", "shown\n", "",
           notFoundStatus);
    addRow("one command only", "@echo a>o.txt & echo b\n@/bin/cat o.txt\n", "b\na \n");
    addRow("digit inside a word", "@echo a2>o.txt\n@/bin/cat o.txt\n", "a2\n");
    addRow("handle after a blank", "@echo 1>o.txt\n@/bin/cat o.txt\n", "ECHO is on.\n");
    addRow("redirection first", "@>o.txt echo x\n@/bin/cat o.txt\n", "x\n");
    addRow("quoted file name", "@echo x>\"o u t.txt\"\n@/bin/cat \"o u t.txt\"\n", "x\n");
    addRow("missing input", "@/bin/cat <missing.txt\n", "", "The system cannot find the file specified.\n", 1);
    addRow("missing folder", "@echo x>no/such/o.txt\n", "", pathError, 1);
    addRow("bad handle", "@echo x 1>&7\n", "", "The handle could not be duplicated during redirection of handle 1.\n",
           1);
    addRow("block", "@(echo a & echo b)>o.txt\n@/bin/cat o.txt\n", "a \nb\n");
    addRow("output restored", "@echo a>o.txt\n@echo b\n", "b\n");
    addRow("program to program", "@printf \"b\\na\\n\" | /usr/bin/sort\n", "a\nb\n");
    addRow("built-in to program", "@echo hello| /usr/bin/tr a-z A-Z\n", "HELLO\n");
    addRow("program to built-in", "@/bin/echo line | pause\n", "Press any key to continue . . . \n");
    addRow("three stages", "@echo b a c| /usr/bin/tr \" \" \"\\n\" | /usr/bin/sort\n", "a\nb\nc\n");
    addRow("block into a pipe", "@(echo 2& echo 1) | /usr/bin/sort\n", "1\n2\n");
    addRow("pipe error level is the last", "@/bin/true | /bin/false\n@echo %ERRORLEVEL%\n", "1\n", "", 1);
    addRow("reader that leaves early", "@/usr/bin/yes | /usr/bin/head -n 1\n@echo done\n", "y\ndone\n");
    addRow("pipe without command", "@echo a |\n@echo not reached\n", "", syntaxError, 255);
}

void TestBatchRun::flow_data()
{
    addColumns();
    addRow("goto skips", "@goto end\n@echo skipped\n:end\n@echo end\n", "end\n");
    addRow("goto backwards in any case",
           "@goto :Second\n:first\n@echo first\n@goto :eof\n:SECOND\n@echo second\n"
           "@goto first\n",
           "second\nfirst\n");
    addRow("goto end of file", "@echo a\n@goto :eof\n@echo b\n", "a\n");
    addRow("missing label ends the batch", "@echo a\n@goto nowhere\n@echo b\n", "a\n",
           "The system cannot find the batch label specified - nowhere\n", 1);
    addRow("goto leaves the rest of the line", "@goto l & echo no\n:l\n@echo yes\n", "yes\n");
    addRow("goto out of a block", "@(\ngoto l\necho no\n)\n:l\n@echo yes\n", "yes\n");
    addRow("subroutine", "@call :sub x\n@echo back %ERRORLEVEL%\n@goto :eof\n:sub\n@echo in %1\n@exit /b 3\n",
           "in x\nback 3\n", "", 3);
    addRow("call of a missing label", "@call :nowhere\n@echo next %ERRORLEVEL%\n", "next 1\n",
           "The system cannot find the batch label specified - nowhere\n", 1);
    addRow("exit /b ends the batch", "@echo a\n@exit /b 2\n@echo b\n", "a\n", "", 2);
    addRow("exit /b keeps the error level", "@/bin/sh -c \"exit 4\"\n@exit /b\n", "", "", 4);
    addRow("call another batch", "@echo @echo in other %%1 %%~nx0>other.bat\n@call other.bat arg\n@echo back\n",
           "in other arg other.bat\nback\n");
    addRow("another batch without call", "@echo @echo in other>other.bat\n@other.bat\n@echo not reached\n",
           "in other\n");
    addRow("call a program", "@call /bin/echo hi\n", "hi\n");
    addRow("start and wait in a folder",
           "@start /wait /d sub /b /bin/sh -c \"pwd >where.txt; exit 3\"\n@echo %ERRORLEVEL%\n"
           "@/bin/cat sub/where.txt\n",
           "3\n<dir>/sub\n");
    addRow("start a batch file", "@echo @echo in batch^>started.txt>s.bat\n@start /wait s.bat\n@/bin/cat started.txt\n",
           "in batch\n");
    addRow("start a missing program", "@start \"\" nosuch\n", "", "The system cannot find the file nosuch.\n",
           9059 & 0xff);
    addRow("subroutine calling itself", ":again\n@call :again\n", "",
           "korvani-cmd: batch calls nested more than 256 deep; batch processing stopped\n", 1);
    addRow("batch calling itself", "@call %0\n@echo not reached\n", "",
           "korvani-cmd: batch calls nested more than 256 deep; batch processing stopped\n", 1);
    addRow("line continuation", "@echo a^\nb\n", "ab\n");
    addRow("block over lines", "@(\necho a\n\n  echo b\n)\n", "a\nb\n");
    addRow("unclosed block", "@echo before\n@(\necho a\n", "before\n",
           "korvani-cmd: a block opened with '(' is not closed\n", 255);
    addRow("unexpected operator", "@& echo x\n@echo y\n", "", "& was unexpected at this time.\n", 255);
    addRow("syntax error stops", "@echo before\n@echo a && \n@echo after\n", "before\n", syntaxError, 255);
}

void TestBatchRun::conditions_data()
{
    addColumns();
    addRow("equal", "@if a==a echo yes\n@if a==b echo no\n", "yes\n");
    addRow("not", "@if not a==b echo yes\n", "yes\n");
    addRow("quotes are compared", "@if \"a\"==a (echo same) else (echo differ)\n", "differ\n");
    addRow("case", "@if A==a (echo same) else (echo differ)\n@if /i A==a echo same\n", "differ\nsame\n");
    addRow("blanks around the operator", "@if a == a echo yes\n", "yes\n");
    addRow("quoted values with blanks", "@set V=x y\n@if \"%V%\"==\"x y\" echo yes\n", "yes\n");
    addRow("exist", "@if exist run.bat echo yes\n@if not exist none.txt echo no\n@if exist \"my tools\" echo dir\n",
           "yes\nno\ndir\n");
    addRow("exist with wildcards", "@if exist *.bat echo found\n@if exist *.none echo never\n", "found\n");
    addRow("errorlevel",
           "@/bin/sh -c \"exit 3\"\n@if errorlevel 3 echo ge3\n@if errorlevel 4 echo ge4\n"
           "@if not errorlevel 4 echo lt4\n",
           "ge3\nlt4\n", "", 3);
    addRow("defined", "@set D=1\n@if defined D echo d\n@if not defined E echo e\n", "d\ne\n");
    addRow("numbers and words", "@if 10 GTR 9 echo num\n@if 10 lss 9 (echo no) else echo yes\n@if a LSS b echo str\n",
           "num\nyes\nstr\n");
    addRow("body is the rest of the line", "@if a==b echo one & echo two\n@echo three\n", "three\n");
    addRow("else", "@if a==b (echo one) else (echo two)\n", "two\n");
    addRow("else if", "@if a==b (echo 1) else if a==a (echo 2) else (echo 3)\n", "2\n");
    addRow("over lines", "@if exist run.bat (\n  echo yes\n  echo more\n) else (\n  echo no\n)\n@echo done\n",
           "yes\nmore\ndone\n");
    addRow("nested", "@if a==a if b==c (echo x) else (echo y)\n", "y\n");
    addRow("block expanded before it runs", "@set V=1\n@(\nset V=2\necho %V%\n)\n", "1\n");
    addRow("errorlevel not a number", "@if errorlevel x echo y\n", "", syntaxError, 255);
    addRow("no command", "@if a==a\n", "", syntaxError, 255);
}

void TestBatchRun::directories_data()
{
    addColumns();
    addRow("prompt follows cd", "cd sub\necho %CD%\n", "\n<dir>>cd sub\n\n<dir>/sub>echo <dir>/sub\n<dir>/sub\n");
    addRow("bare cd", "@cd\n", "<dir>\n");
    addRow("cd /d and quotes", "@cd /d \"my tools\"\n@cd\n", "<dir>/my tools\n");
    addRow("unquoted blanks", "@chdir my tools\n@cd\n", "<dir>/my tools\n");
    addRow("cd dot dot", "@cd sub\n@cd..\n@cd\n", "<dir>\n");
    addRow("missing folder", "@cd nowhere\n@echo %ERRORLEVEL% %CD%\n", "1 <dir>\n", pathError, 1);
    addRow("not a folder", "@cd run.bat\n", "", "The directory name is invalid.\n", 1);
    addRow("programs run there", "@cd sub\n@/bin/pwd\n", "<dir>/sub\n");
    addRow("pushd and popd", "@pushd sub\n@cd\n@popd\n@cd\n", "<dir>/sub\n<dir>\n");
    addRow("pushd to a missing folder", "@pushd nowhere\n@cd\n", "<dir>\n", pathError, 1);
    addRow("popd with nothing pushed", "@popd\n@cd\n", "<dir>\n");
    addRow("pushd lists", "@pushd sub\n@pushd ..\n@pushd\n", "<dir>/sub\n<dir>\n");
    addRow("endlocal goes back", "@setlocal\n@cd sub\n@endlocal\n@cd\n", "<dir>\n");
}

void TestBatchRun::input_data()
{
    addColumns();
    addRow("pause reads one line", "@pause\n@/bin/cat\n", "Press any key to continue . . . \nsecond\n", "", 0,
           "first\nsecond\n");
    addRow("pause at end of input", "@pause\n@echo after\n", "Press any key to continue . . . \nafter\n");
    addRow("pause echoed", "pause\n", "\n<dir>>pause\nPress any key to continue . . . \n", "", 0, "\n");
    addRow("set /p", "@set /p V=Name? \n@echo [%V%]\n", "Name? [Ann]\n", "", 0, "Ann\r\nrest\n");
    addRow("set /p at end of input", "@set V=old\n@set /p V=Name? \n@echo [%V%] %ERRORLEVEL%\n", "Name? [old] 1\n", "",
           1);
}

void TestBatchRun::unsupported_data()
{
    addColumns();
    addRow("for with its block", "@for %%i in (a b) do (\n  echo %%i\n)\n@echo next\n", "next\n",
           "korvani-cmd: 'for' is not supported\n", 1);
    addRow("set /a", "@set /a X=1+2\n@echo [%X%]\n", "[]\n", "korvani-cmd: 'set /a' is not supported\n", 1);
    addRow("cmd commands", "@del x\n@TITLE t\n@echo after\n", "after\n",
           "korvani-cmd: 'del' is not supported\nkorvani-cmd: 'title' is not supported\n", 1);
    addRow("delayed expansion", "@setlocal enabledelayedexpansion\n", "",
           "korvani-cmd: 'setlocal enabledelayedexpansion' is not supported\n", 1);
    addRow("start without a program", "@start \"title\"\n", "",
           "korvani-cmd: 'start without a program' is not supported\n", 1);
}

void TestBatchRun::parametersFromCommandLine()
{
    const Run run = runScript("@echo %1 %2 [%3] %*\n", QByteArray(), {QStringLiteral("x"), QStringLiteral("y z")});
    QCOMPARE(run.output, QByteArray("x \"y z\" [] x \"y z\"\n"));
    QCOMPARE(run.exitCode, 0);
}

void TestBatchRun::invocation_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("error");

    const QByteArray usage = "usage: korvani-cmd /c BATCH-FILE [PARAMETER...]\n";
    QTest::newRow("nothing") << QStringList() << usage;
    QTest::newRow("no file") << QStringList{"/c"} << usage;
    QTest::newRow("other switch") << QStringList{"/k", "run.bat"} << usage;
    QTest::newRow("missing file") << QStringList{"/C", "none.bat"}
                                  << QByteArray("korvani-cmd: cannot read the batch file 'none.bat': "
                                                "No such file or directory\n");
    QTest::newRow("folder") << QStringList{"/c", "sub"}
                            << QByteArray("korvani-cmd: cannot read the batch file 'sub': Is a directory\n");
}

void TestBatchRun::invocation()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, error);

    const Run run = runInterpreter(arguments);
    QCOMPARE(run.error, error);
    QCOMPARE(run.output, QByteArray());
    QCOMPARE(run.exitCode, 1);
}

void TestBatchRun::longLines()
{
    const QByteArray text(100000, 'x');
    Run run = runScript("@echo " + text + "\n@printf %%s " + text + " | /usr/bin/wc -c\n@set V=" + text
                        + "\n@echo %V%%V%");
    QCOMPARE(run.error, QByteArray());
    QCOMPARE(run.output, text + "\n100000\n" + text + text + "\n");

    // One argument longer than the system passes to a program.
    run = runScript("@/bin/true " + QByteArray(200000, 'y') + "\n@echo next\n");
    QCOMPARE(run.error, QByteArray("The command line is too long.\n"));
    QCOMPARE(run.output, QByteArray("next\n"));
    QCOMPARE(run.exitCode, 1);
}

void TestBatchRun::startDoesNotWait()
{
    QElapsedTimer timer;
    timer.start();
    const Run run = runScript("@start \"title\" /bin/sh -c \"s=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2);"
                              " echo $s >streams.tmp; cut -d' ' -f6 /proc/$$/stat >session.txt; echo $$ >pid.txt;"
                              " mv streams.tmp streams.txt; sleep 5\"\n@echo started %ERRORLEVEL%\n");
    QVERIFY2(timer.elapsed() < 4000, "the interpreter waited for the started program");
    QCOMPARE(run.output, QByteArray("started 0\n"));
    QCOMPARE(run.exitCode, 0);

    QDir folder(m_path);
    QTRY_VERIFY_WITH_TIMEOUT(folder.exists(QStringLiteral("streams.txt")), 10000);
    QFile streams(folder.filePath(QStringLiteral("streams.txt")));
    QFile session(folder.filePath(QStringLiteral("session.txt")));
    QFile pid(folder.filePath(QStringLiteral("pid.txt")));
    QVERIFY(streams.open(QIODevice::ReadOnly) && session.open(QIODevice::ReadOnly) && pid.open(QIODevice::ReadOnly));
    QCOMPARE(streams.readAll(), QByteArray("/dev/null /dev/null /dev/null\n"));
    QCOMPARE(session.readAll(), pid.readAll());
}

void TestBatchRun::noZombiesNorLeakedHandles()
{
    // No child of the interpreter may be a zombie, and the checking shell may
    // hold no handle but the standard three, even with redirections in place.
    const Run run = runScript("@start \"\" /bin/true\n"
                              "@/bin/sh -c \"for c in $(cat /proc/$PPID/task/$PPID/children); do"
                              " cut -d' ' -f3 /proc/$c/stat; done | grep -c Z\"\n"
                              "@/bin/sh -c \"ls /proc/$$/fd\" <run.bat 2>nul\n");
    QCOMPARE(run.error, QByteArray());
    QCOMPARE(run.output, QByteArray("0\n0\n1\n2\n"));
}

void TestBatchRun::deepNestingStopsCleanly()
{
    // Each call starts from deep inside nested blocks, on a small stack.
    QFile file(QDir(m_path).filePath(QStringLiteral("run.bat")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(":x\n@" + QByteArray(150, '(') + "call :x" + QByteArray(150, ')') + "\n");
    file.close();
    const Run run = runProcess(
        QStringLiteral("/bin/sh"),
        {QStringLiteral("-c"), QStringLiteral("ulimit -s 1024 && exec \"$0\" /c run.bat"), QStringLiteral(KORVANI_CMD)},
        QByteArray());
    QCOMPARE(run.error, QByteArray("korvani-cmd: commands nested too deeply; batch processing stopped\n"));
    QCOMPARE(run.exitCode, 1);
}

QTEST_GUILESS_MAIN(TestBatchRun)
#include "TestBatchRun.moc"
