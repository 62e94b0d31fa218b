#include "batchRunner.h"

#include <QtTest>

// The rules of cmd that the batch files tools ship rely on (Gradle's
// gradlew.bat, Maven Wrapper's mvnw.cmd, npm's shims, a Python venv's
// activate.bat), one table a rule, each row naming where the rule comes from:
// cmd's own documentation (cmd /?, for /?), or cmd's observed behaviour.
class TestToolScriptRules : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.create()); }
    void batchFilesOfCmd_data();
    void batchFilesOfCmd() { checkBatchRow(m_folder); }
    void fullPaths_data();
    void fullPaths() { checkBatchRow(m_folder); }
    void wholeErrorLevels_data();
    void wholeErrorLevels() { checkBatchRow(m_folder); }
    void strayStatusVariable();
    void labelsAfterRedirections_data();
    void labelsAfterRedirections() { checkBatchRow(m_folder); }
    void failedGoto_data();
    void failedGoto() { checkBatchRow(m_folder); }
    void useback_data();
    void useback() { checkBatchRow(m_folder); }
    void windowsVariables_data();
    void windowsVariables() { checkBatchRow(m_folder); }
    void windowsVariablesGiven();
    void searchPath_data();
    void searchPath() { checkBatchRow(m_folder); }

private:
    BatchFolder m_folder;
};

// cmd /? : /C carries out the command line, so a batch file is found as
// call finds one: by a path with backslashes, or on PATH.
void TestToolScriptRules::batchFilesOfCmd_data()
{
    addBatchColumns();
    addBatchRow("a path with backslashes",
                "@>sub\\x.bat echo @echo in x [%%1] [%%2]\n@cmd /c sub\\x.bat \"a b\" c\n@echo back\n",
                "in x [\"a b\"] [c]\nback\n");
    addBatchRow("a name on PATH",
                "@md tools\n@>tools\\x.cmd echo @echo found on PATH\n@set PATH=%CD%\\tools;%PATH%\n@cmd /c x.cmd\n",
                "found on PATH\n");
    addBatchRow("its error level", "@>sub\\x.bat echo @exit /b 3\n@cmd /c sub\\x.bat\n@echo %errorlevel%\n", "3\n", "",
                3);
}

// Observed: %~f keeps a separator at the end, as GetFullPathName does;
// gradlew.bat's APP_HOME ends in one, and so does its class path's folder.
// Paths are built with "/" here.
void TestToolScriptRules::fullPaths_data()
{
    addBatchColumns();
    addBatchRow("a loop variable", "@for %%i in (\"sub\\\" sub\\. sub) do @echo [%%~fi] [%%~dpi] [%%~nxi]\n",
                "[<dir>/sub/] [<dir>/sub/] []\n[<dir>/sub] [<dir>/] [sub]\n[<dir>/sub] [<dir>/] [sub]\n");
    addBatchRow("a parameter", "@call :s sub\\ \"my tools/\"\n@goto :eof\n:s\n@echo [%~f1] [%~f2]\n",
                "[<dir>/sub/] [<dir>/my tools/]\n");
    addBatchRow("the folder of the batch file", "@set H=%~dp0\n@for %%i in (\"%H%\") do @set H=%%~fi\n@echo [%H%]\n",
                "[<dir>/]\n");
}

// cmd /? : cmd /c ends with the error level of its command line, and a
// batch file's is its whole 32-bit value: "cmd /c exit 300" leaves 300.
void TestToolScriptRules::wholeErrorLevels_data()
{
    addBatchColumns();
    addBatchRow("above 255", "@cmd /c exit 300\n@echo %errorlevel%\n", "300\n", "", exitStatus(300));
    addBatchRow("not recognized", "@cmd /c nosuch 2>nul\n@echo %errorlevel%\n", "9009\n", "", exitStatus(9009));
    addBatchRow("negative", "@\"%COMSPEC%\" /q /c exit -1\n@echo %errorlevel%\n", "-1\n", "", exitStatus(-1));
    addBatchRow("a multiple of 256", "@cmd /c exit 256 || echo failed\n@echo %errorlevel%\n", "failed\n256\n", "", 0);
    addBatchRow("a batch file's exit", "@>x.bat echo @exit 70000\n@cmd /c x.bat\n@echo %errorlevel%\n", "70000\n", "",
                exitStatus(70000));
    addBatchRow("the last side of a pipe", "@echo x| cmd /c exit 1000\n@echo %errorlevel%\n", "1000\n", "",
                exitStatus(1000));
    addBatchRow("a program is as it was", "@cmd /c /bin/sh -c \"exit 44\"\n@echo %errorlevel%\n", "44\n", "", 44);
    // The channel is for korvani-cmd alone: no program it starts sees it.
    addBatchRow("programs see no channel", "@cmd /c /bin/sh -c \"echo [$KORVANI_CMD_STATUS]\"\n", "[]\n");
}

// A value of the channel's variable that another program set names no pipe
// of a parent: it is dropped, and nothing is written anywhere.
void TestToolScriptRules::strayStatusVariable()
{
    QFile script(QDir(m_folder.path()).filePath(QStringLiteral("run.bat")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("@/bin/sh -c \"echo [$KORVANI_CMD_STATUS]\"\n@exit 300\n");
    script.close();
    for (const QString &value : {QStringLiteral("1:1"), QStringLiteral("2:0"), QStringLiteral("x")}) {
        QProcessEnvironment extra;
        extra.insert(QStringLiteral("KORVANI_CMD_STATUS"), value);
        const BatchRun run = m_folder.runProcess(
            QStringLiteral(KORVANI_CMD), {QStringLiteral("/c"), QStringLiteral("run.bat")}, QByteArray(), extra);
        QCOMPARE(run.output, QByteArray("[]\n"));
        QCOMPARE(run.error, QByteArray());
        QCOMPARE(run.exitCode, exitStatus(300));
    }
}

// Parser, phase 2: redirections are taken out of a line before its command
// is looked at; a line whose command is then a label is a label, and its
// redirections are never opened. Maven Wrapper's mvnw.cmd starts so.
void TestToolScriptRules::labelsAfterRedirections_data()
{
    addBatchColumns();
    addBatchRow("the first line of mvnw.cmd", "<# : batch portion\n@echo next\n", "next\n");
    addBatchRow("no file is opened", ">made.txt :label\n@if exist made.txt (echo made) else echo not made\n",
                "not made\n");
    addBatchRow("a redirection before a command still applies", "@>out.txt echo x\n@type out.txt\n", "x\n");
}

// Observed: a goto to a label that is not there ends the batch file (or the
// subroutine), but only after the rest of its line has run, "||" included.
// npm's shims run their program so: "goto #_undefined_# 2>NUL || title
// %COMSPEC% & "%_prog%" ...".
void TestToolScriptRules::failedGoto_data()
{
    addBatchColumns();
    addBatchRow("the rest of the line runs", "@goto nolabel 2>nul || echo A & echo B\n@echo not reached\n", "A \nB\n",
                "", 1);
    addBatchRow("the line of an npm shim",
                "@setlocal\n@set \"_prog=/bin/sh\"\n"
                "@endLocal & goto #_undefined_# 2>NUL || title %COMSPEC% & \"%_prog%\" -c \"echo shim ran; exit 5\"\n"
                "@echo not reached\n",
                "shim ran\n", "", 5);
    addBatchRow(
        "a subroutine ends",
        "@call :s\n@echo back %errorlevel%\n@goto :eof\n:s\n@goto nowhere 2>nul & echo rest\n@echo not reached\n",
        "rest\nback 1\n", "", 1);
    addBatchRow("its message", "@goto nowhere & echo rest\n", "rest\n",
                "The system cannot find the batch label specified - nowhere\n", 1);
}

// Observed: for /f takes "useback" for "usebackq" (Groovy's startGroovy.bat
// writes it).
void TestToolScriptRules::useback_data()
{
    addBatchColumns();
    addBatchRow("a file name in quotes",
                "@echo content>\"my file.txt\"\n@for /f \"useback\" %%a in (\"my file.txt\") do @echo %%a\n",
                "content\n");
    addBatchRow("a command and a string",
                "@for /f \"useback delims=\" %%a in (`echo a b`) do @echo %%a\n"
                "@for /f \"tokens=* useback\" %%a in ('literal text') do @echo %%a\n",
                "a b\nliteral text\n");
}

// Windows defines OS and COMSPEC for every program; batch files test
// "%OS%"=="Windows_NT" before they use what cmd added, and Gradle's
// gradlew.bat ends with "%COMSPEC%" /c exit. Here they are the batch files'
// alone: programs get them only when a batch file sets them, as Makefiles
// take OS=Windows_NT to mean Windows.
void TestToolScriptRules::windowsVariables_data()
{
    addBatchColumns();
    addBatchRow("batch files see them",
                "@if \"%OS%\"==\"Windows_NT\" echo NT\n@echo %COMSPEC%\n@if defined COMSPEC echo defined\n",
                "NT\n<cmd>\ndefined\n");
    addBatchRow("COMSPEC runs korvani-cmd", "@\"%COMSPEC%\" /c echo via COMSPEC\n", "via COMSPEC\n");
    addBatchRow("programs do not get them", "@/bin/sh -c \"echo [$OS] [$COMSPEC]\"\n", "[] []\n");
    addBatchRow("unless a batch file sets them", "@set OS=%OS%\n@/bin/sh -c \"echo [$OS] [$COMSPEC]\"\n",
                "[Windows_NT] []\n");
    addBatchRow("removed", "@set OS=\n@echo [%OS%]\n", "[]\n");
}

// What the environment gives stays as it is, and programs get it.
void TestToolScriptRules::windowsVariablesGiven()
{
    QFile script(QDir(m_folder.path()).filePath(QStringLiteral("run.bat")));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("@echo %OS% %COMSPEC%\n@/bin/sh -c \"echo $OS $COMSPEC\"\n");
    script.close();
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("OS"), QStringLiteral("Linux"));
    extra.insert(QStringLiteral("ComSpec"), QStringLiteral("/bin/sh"));
    const BatchRun run = m_folder.runProcess(QStringLiteral(KORVANI_CMD),
                                             {QStringLiteral("/c"), QStringLiteral("run.bat")}, QByteArray(), extra);
    QCOMPARE(run.output, QByteArray("Linux /bin/sh\nLinux\n"));
    QCOMPARE(run.error, QByteArray());
}

// Windows separates the folders of PATH with ";", Linux with ":": korvani-cmd
// searches PATH split at both, and the programs it starts get the same
// folders separated by ":", so "set PATH=X;%PATH%" finds X first and loses
// nothing after it. A Linux PATH passes on unchanged.
void TestToolScriptRules::searchPath_data()
{
    addBatchColumns();
    const QByteArray prepend = "@set PATH=%CD%\\my tools;%PATH%\n";
    addBatchRow("a folder put first", prepend + "@show a\n@printf \"%%s\\n\" printf\n", "[a]\nprintf\n");
    addBatchRow("as batch files and programs see it",
                prepend + "@echo %PATH%\n@/bin/sh -c \"echo $PATH\"\n@cmd /c /bin/sh -c \"echo $PATH\"\n",
                "<dir>\\my tools;/usr/bin:/bin\n<dir>/my tools:/usr/bin:/bin\n<dir>/my tools:/usr/bin:/bin\n");
    // Windows passes over empty entries; they never stand for the current
    // folder, as they would on Linux.
    addBatchRow("empty entries", "@set PATH=;%CD%\\my tools;;%PATH%;\n@/bin/sh -c \"echo $PATH\"\n@cd sub\n@show b\n",
                "<dir>/my tools:/usr/bin:/bin\n[b]\n");
    addBatchRow("a Linux PATH", "@set PATH=/usr/bin::/bin:\n@/bin/sh -c \"echo $PATH\"\n", "/usr/bin::/bin:\n");
    addBatchRow("found by %~$PATH:", prepend + "@for %%p in (show) do @echo %%~$PATH:p\n", "<dir>/my tools/show\n");
}

QTEST_GUILESS_MAIN(TestToolScriptRules)
#include "TestToolScriptRules.moc"
