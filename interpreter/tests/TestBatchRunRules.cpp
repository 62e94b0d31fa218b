#include "batchRunner.h"

#include <QDir>
#include <QtTest>

// cmd's grammar and results where they are not what one would guess: one row
// a rule, each naming the rule of cmd's documentation (if /?, call /?, ...)
// or the observed behaviour of cmd it follows. "Parser:" names a step of the
// model of cmd's line parser that jeb and dbenham drew from experiments
// ("How does the Windows Command Interpreter (CMD.EXE) parse scripts?",
// Stack Overflow question 4094699). "Windows:" names what cmd gives in Wine's
// conformance tests of cmd's built-in commands (test_builtins.cmd), whose
// expected output is checked on Windows.
class TestBatchRunRules : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.create()); }
    void chains_data();
    void chains() { checkBatchRow(m_folder); }
    void nullDevice_data();
    void nullDevice() { checkBatchRow(m_folder); }
    void fileCommands_data();
    void fileCommands() { checkBatchRow(m_folder); }
    void errorLevels_data();
    void errorLevels() { checkBatchRow(m_folder); }
    void conditions_data();
    void conditions() { checkBatchRow(m_folder); }
    void labelsAndLines_data();
    void labelsAndLines() { checkBatchRow(m_folder); }
    void linesOfLoops_data();
    void linesOfLoops() { checkBatchRow(m_folder); }
    void arithmetic_data();
    void arithmetic() { checkBatchRow(m_folder); }
    void switches_data();
    void switches();
    void echoedCommands_data();
    void echoedCommands() { checkBatchRow(m_folder); }
    void calls_data();
    void calls() { checkBatchRow(m_folder); }

private:
    BatchFolder m_folder;
};

void TestBatchRunRules::chains_data()
{
    addBatchColumns();
    // Observed: && binds tighter than ||, "a || b && c" runs as "a || (b && c)".
    addBatchRow("|| passes over the && after it", "@echo k1||echo k2&&echo k3\n", "k1\n");
    addBatchRow("mkdir or fail and leave", "@mkdir x || echo failed && exit /b 1\n@echo still here\n", "still here\n");
    // ... and "a && b || c && d" as "(a && b) || (c && d)".
    addBatchRow("a failed && chain runs the || after it", "@/bin/false && echo a || echo b && echo c\n", "b \nc\n", "",
                1);
}

void TestBatchRunRules::nullDevice_data()
{
    addBatchColumns();
    // NUL, in any case and in any folder, is the null device for every
    // command, as the device names are on Windows.
    addBatchRow("type NUL succeeds", "@type NUL &&echo SUCCESS||echo FAILURE\n", "SUCCESS\n");
    addBatchRow("type nul into a file makes it empty", "@type nul > f\n@for %%f in (f) do @echo [%%~zf]\n", "[0]\n");
    addBatchRow("copy nul makes an empty file", "@copy nul foo > nul\n@if exist foo echo made\n", "made\n");
    addBatchRow("nul in a folder",
                "@type sub\\Nul && echo typed\n@copy run.bat sub\\NUL: >nul && echo copied\n@/bin/ls sub\n",
                "typed\ncopied\n");
    addBatchRow("for /f reads no lines from nul", "@for /f %%a in (nul) do @echo %%a\n@echo done\n", "done\n");
}

void TestBatchRunRules::fileCommands_data()
{
    addBatchColumns();
    // md /? makes the folder a path names; separators after it name no more.
    addBatchRow("md with separators at the end", "@md foo\\\n@md bar\\\\\n@echo %errorlevel%\n@dir /b /ad\n",
                "0\nbar\nfoo\nmy tools\nsub\n");
    // copy /? : "copy a+b" without a destination joins them into a file named
    // as the first, in the current folder.
    addBatchRow("joined copy into the current folder",
                "@echo one>fred\n@echo two>file1\n@cd sub\n@copy ..\\fred+..\\file1\n@type fred\n@type ..\\fred\n",
                "..\\fred\n..\\file1\n        1 file(s) copied.\none\ntwo\none\n");
    // Observed: type names each of several files on the error channel before
    // its contents: a blank line, the name, two blank lines.
    // Windows: wildcards are in no folder's name; md makes the folders
    // before the first name with one, then fails.
    const QByteArray invalidName = "The filename, directory name, or volume label syntax is incorrect.\n";
    addBatchRow("md refuses wildcards",
                "@md ?\n@echo %errorlevel%\n@md ?\\foo\n@echo %errorlevel%\n@md foo\\?\n@echo %errorlevel%\n"
                "@md bar\\baz\\*\n@echo %errorlevel%\n@dir /b /ad /s\n",
                "1\n1\n1\n1\n<dir>/bar\n<dir>/foo\n<dir>/my tools\n<dir>/sub\n<dir>/bar/baz\n",
                invalidName + invalidName + invalidName + invalidName);
    // del /? : /F forces deleting read-only files; without it they stay.
    addBatchRow(
        "del keeps a read-only file without /f",
        "@echo x>f\n@/bin/chmod a-w f\n@del f\n@if exist f echo kept\n@del /f f\n@if not exist f echo deleted\n",
        "kept\ndeleted\n", "Access is denied.\n");
    addBatchRow("type of several files names each",
                "@echo a>a.txt\n@echo b>b.txt\n@type a.txt b.txt >out.txt 2>err.txt\n@type out.txt\n@type err.txt\n",
                "a\nb\n\na.txt\n\n\n\nb.txt\n\n\n");
}

// Which commands clear the error level when they succeed, and what rd and
// del do when they fail, as observed on Windows 10 (dbenham, "Which cmd.exe
// internal commands clear the ERRORLEVEL to 0 upon success?").
void TestBatchRunRules::errorLevels_data()
{
    addBatchColumns();
    addBatchRow("echo keeps it and ver clears it",
                "@/bin/false\n@echo x>nul\n@echo %errorlevel%\n@ver>nul\n@echo %errorlevel%\n", "1\n0\n");
    addBatchRow("rd fails for || and keeps the error level",
                "@/bin/false\n@rd none\n@echo %errorlevel%\n@/bin/true\n@rd none || echo failed\n@echo %errorlevel%\n",
                "1\nfailed\n0\n", fileError + fileError);
    addBatchRow("del clears it even when it fails", "@/bin/false\n@del none\\a.txt\n@echo %errorlevel%\n", "0\n",
                pathError);
    addBatchRow("set clears it only in a .cmd file",
                "@echo @/bin/false>t.cmd\n@echo @set x=1>>t.cmd\n@echo @echo %%errorlevel%%>>t.cmd\n@call t.cmd\n"
                "@/bin/false\n@set y=1\n@echo %errorlevel%\n",
                "0\n1\n", "", 1);
    addBatchRow("a called command starts from 0", "@/bin/false\n@call echo x\n@echo %errorlevel%\n", "x\n0\n");
    // "(call)" fails and "(call )" succeeds: the quiet ways to set 1 and 0.
    addBatchRow("(call) and (call )", "@(call)\n@echo %errorlevel%\n@(call )\n@echo %errorlevel%\n", "1\n0\n");
    // start /? : /WAIT, or /W, in any case; start keeps the error level
    // unless it waits.
    addBatchRow("start /W waits",
                "@start /W /b /bin/sh -c \"exit 3\"\n@echo %errorlevel%\n@START /Wait \"\" /bin/sh -c \"exit 4\"\n"
                "@echo %errorlevel%\n",
                "3\n4\n", "", 4);
    addBatchRow("start without waiting keeps it", "@/bin/false\n@start \"\" /bin/true\n@echo %errorlevel%\n", "1\n", "",
                1);
}

void TestBatchRunRules::conditions_data()
{
    addBatchColumns();
    // Windows: if errorlevel takes a whole decimal number, "01" and "-1"
    // too; with "0x1" or "1a" neither if nor if not runs its command.
    addBatchRow(
        "if errorlevel takes decimal numbers only",
        "@/bin/sh -c \"exit 1\"\n@if errorlevel 01 echo 01\n@if errorlevel -1 echo -1\n"
        "@if not errorlevel 2 echo not 2\n@if errorlevel 0x1 echo hex\n@if not errorlevel 0x1 echo not hex\n"
        "@if errorlevel 1a (echo 1a) else echo else 1a\n@if not errorlevel 1a echo not 1a\n@echo %errorlevel%\n",
        "01\n-1\nnot 2\n1\n", "", 1);
    // Observed: one that does not start with a digit is a syntax error.
    addBatchRow("if errorlevel without a number", "@if errorlevel x echo x\n@echo next\n", "next\n", syntaxError, 255);
    // if /? compares numbers as numbers. Windows: written in octal and
    // hexadecimal too, with a sign, in if and in if not; a quoted number or
    // one with a point is text.
    addBatchRow("comparisons read octal and hexadecimal numbers",
                "@if 011 EQU 9 echo octal\n@if not 9 LSS 010 echo not octal\n@if 0x10 EQU 16 echo hex\n"
                "@if not -1 LSS -0x1A echo negative hex\n@if 0xA1 EQU \"161\" (echo number) else echo quoted\n"
                "@if 1.1 LSS 1.10 echo point\n@if -5 LSS 3 echo signed\n@if 08 GTR 7 (echo 8) else echo text\n",
                "octal\nnot octal\nhex\nnegative hex\nquoted\npoint\nsigned\ntext\n");
}

void TestBatchRunRules::labelsAndLines_data()
{
    addBatchColumns();
    // Parser, labels: a label ends at a blank or at one of : + & < > |, and
    // what follows it does not run; "@" and blanks may stand before the
    // colon, blanks after it.
    addBatchRow("label followed by an operator",
                "@goto dest5\n@echo skipped\n:dest5&& echo x\n@goto dest6\n:dest6>FAILURE.TXT\n"
                "@if not exist FAILURE.TXT echo at6\n",
                "at6\n");
    addBatchRow("label after an at sign and blanks", "@goto dest9\n@echo skipped\n@   :     dest9>rubbish\n@echo at9\n",
                "at9\n");
    // goto reads its label as a label line does: "goto :a:b" goes to a.
    addBatchRow("goto ignores what follows the label",
                "@goto :dest10:this is ignored\n@echo skipped\n:dest10\n@echo at10\n", "at10\n");
    // Parser, phase 2: a caret at the end of a line escapes the first
    // character of the next line; when that line is empty, its line feed,
    // which stays in the command, and the line after goes on with it.
    addBatchRow("caret before an empty line", "@echo hello^\n\nworld\n@echo next\n", "hello\nworld\nnext\n");
    addBatchRow("caret escapes the next line's first character", "@echo a^\n&echo b\n", "a&echo b\n");
}

void TestBatchRunRules::linesOfLoops_data()
{
    addBatchColumns();
    // for /? : each token listed allocates a variable, "*" one more for the
    // rest; the tokens fill them in their order on the line. Windows: the
    // rest goes only to the variable after the last token's, so a token
    // listed twice leaves it nowhere.
    addBatchRow("a token listed twice",
                "@for /f \"tokens=1,2,1*\" %%i in (\"a b c d\") do @echo [%%i][%%j][%%k][%%l]\n"
                "@for /f \"tokens=1,1,3*\" %%i in (\"a b c d e\") do @echo [%%i][%%j][%%k][%%l][%%m]\n",
                "[a][b][][]\n[a][c][][][%m]\n");
    addBatchRow("the rest after tokens out of order",
                "@for /f \"tokens=3,2,1*\" %%i in (\"a b c d e\") do @echo [%%i][%%j][%%k][%%l]\n"
                "@for /f \"tokens=1,5*\" %%i in (\"a b c d e f g\") do @echo [%%i][%%j][%%k][%%l]\n",
                "[a][b][c][d e]\n[a][e][f g][%l]\n");
    addBatchRow("tokens out of order", "@for /f \"tokens=3,1\" %%i in (\"a b c\") do @echo [%%i][%%j]\n", "[a][c]\n");
    addBatchRow("a range that runs backwards lists none",
                "@for /f \"tokens=3-1,5\" %%i in (\"a b c d e\") do @echo [%%i]\n", "[e]\n");
    // Observed: a NUL byte ends the text of a line that for /f reads.
    addBatchRow("NUL byte in a line",
                "@/usr/bin/printf \"ab\\0cd\\nef\\n\" >z.txt\n@for /f %%a in (z.txt) do @echo [%%a]\n", "[ab]\n[ef]\n");
}

void TestBatchRunRules::arithmetic_data()
{
    addBatchColumns();
    // Observed: set /a reads a compound assignment with blanks before its "=".
    addBatchRow("blanks inside a compound assignment", "@set /a X=1\n@set /a X + = 6\n@set /a X *= 2\n@echo %X%\n",
                "14\n");
    // set /? : quotes around an expression are allowed; observed: set /a
    // counts double quotes for nothing, wherever they stand.
    addBatchRow("quotes inside names", "@set AB=10\n@set /a X=\"A\"\"B\"+4\n@set /a \"Y\"=\"1\"+\"2\"\n@echo %X% %Y%\n",
                "14 3\n");
    // set /? : "0x" is hexadecimal and "0" octal, in the body of a for too.
    addBatchRow("numbers in a loop's body",
                "@for %%i in (010 0x10 10) do @set /a n=%%i & call echo %%n%%\n"
                "@for /l %%i in (1,1,2) do @set /a m+=010\n@echo %m%\n",
                "8\n16\n10\n16\n");
}

// cmd /? : the switches before /c, and /c with its command right after it.
void TestBatchRunRules::switches_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("/q turns echo off") << QStringList{"/Q", "/c", "run.bat"} << QByteArray("one\n") << 0;
    QTest::newRow("/v:on turns delayed expansion on")
        << QStringList{"/v:on", "/c", "set x=1& echo !x!"} << QByteArray("1\n") << 0;
    QTest::newRow("switches that change nothing here")
        << QStringList{"/e:off", "/d", "/s", "/c", "echo two"} << QByteArray("two\n") << 0;
    QTest::newRow("/c without a blank") << QStringList{"/q", "/crun.bat"} << QByteArray("one\n") << 0;
    // Where there is no cmd, a batch file's cmd is this interpreter.
    QTest::newRow("cmd inside a batch file")
        << QStringList{"/c", "cmd /c echo inner& cmd /q /c exit 3"} << QByteArray("inner\n") << 3;
}

void TestBatchRunRules::switches()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, output);
    QFETCH(int, exitCode);

    QFile script(QDir(m_folder.path()).filePath(QStringLiteral("run.bat")));
    QVERIFY(script.open(QIODevice::WriteOnly) && script.write("echo one\n") == 9);
    script.close();
    const BatchRun run = m_folder.runInterpreter(arguments);
    QCOMPARE(run.error, QByteArray());
    QCOMPARE(run.output, output);
    QCOMPARE(run.exitCode, exitCode);
}

// Parser, phase 3: with echo on, cmd shows each command as it parsed it,
// after the prompt: a simple command with a blank after it and its
// redirections at the end, a block on one line, if with blanks around "==",
// and each turn of a loop with the loop's values in it, unless an "@" stands
// before its command.
void TestBatchRunRules::echoedCommands_data()
{
    addBatchColumns();
    addBatchRow("redirection after the command", "echo a>o.txt\n", "\n<dir>>echo a 1>o.txt\n");
    addBatchRow("operators between commands", "/bin/true&&echo a||echo b\n",
                "\n<dir>>/bin/true  && echo a  || echo b \na\n");
    addBatchRow("if with blanks around ==", "if 1==1 echo yes\n", "\n<dir>>if 1 == 1 echo yes \nyes\n");
    addBatchRow("a block on one line", "if exist run.bat (\n  echo a\n  echo b\n) else echo c\n",
                "\n<dir>>if exist run.bat (echo a  & echo b ) else echo c \na\nb\n");
    // Windows: echo followed by ".", ":" or "/" is shown without the blank.
    addBatchRow("echo with a separator", "echo.\necho.word\necho:\necho:word\necho/\necho/word\necho .\n",
                "\n<dir>>echo.\n\n\n<dir>>echo.word\nword\n\n<dir>>echo:\n\n\n<dir>>echo:word\nword\n"
                "\n<dir>>echo/\n\n\n<dir>>echo/word\nword\n\n<dir>>echo . \n.\n");
    // Windows: an "@" hides its command, and the commands joined to it after
    // it up to the end of its block, also after if.
    addBatchRow("an at sign after if", "if 1==1 @echo bar\n", "\n<dir>>if 1 == 1 \nbar\n");
    addBatchRow("at signs in chains and blocks",
                "(echo a&&@echo b||(\necho c\n@echo d\n))&&echo e||(@echo f)||@(echo g)\n",
                "\n<dir>>(echo a  && )  && echo e  || ()  || \na\nb\ne\n");
    addBatchRow("each turn of a loop", "for %%a in (1 2) do echo %%a\n",
                "\n<dir>>for %a in (1 2) do echo %a \n\n<dir>>echo 1 \n1\n\n<dir>>echo 2 \n2\n");
    addBatchRow("an at sign hides the turns", "@for /f \"tokens=2\" %%a in (\"x y\") do @echo %%a\n", "y\n");
}

void TestBatchRunRules::calls_data()
{
    addBatchColumns();
    // Windows: call looks for a file with one of PATHEXT's extensions before
    // a built-in command. Programs without one, as Linux programs are (there
    // is a dir in /usr/bin), never stand in for a built-in command.
    addBatchRow("call runs a batch file before a built-in",
                "@echo @echo non-built-in dir %%1>dir.cmd\n@call dir /b\n@del dir.cmd\n@call dir /b /ad\n",
                "non-built-in dir /b\nmy tools\nsub\n");
    // Windows: call runs no if and no for, and sets the error level to 1.
    addBatchRow("call of if and for",
                "@call if 1==1 echo bar\n@echo %errorlevel%\n@call :ok\n@call for %%%%i in (a) do echo %%%%i\n"
                "@echo %errorlevel%\n@goto :eof\n:ok\n",
                "1\n1\n", "'if" + notRecognized + "'for" + notRecognized, 1);
    // Windows: a command word such as echo.bat runs that file when there is
    // one, and is echo with a dot when there is not.
    addBatchRow("built-in name with an extension",
                "@echo.txt\n@echo @echo in echo.bat>echo.bat\n@echo.bat\n@echo gone\n", "txt\nin echo.bat\n");
    // Observed: endlocal, or the end of the batch file or subroutine, puts
    // back the current folder that setlocal saw.
    addBatchRow("endlocal restores the folder",
                "@setlocal\n@cd sub\n@endlocal\n@cd\n@call :s\n@cd\n@goto :eof\n:s\n@setlocal\n@cd sub\n",
                "<dir>\n<dir>\n");
}

QTEST_GUILESS_MAIN(TestBatchRunRules)
#include "TestBatchRunRules.moc"
