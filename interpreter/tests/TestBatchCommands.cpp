#include "batchRunner.h"

#include <QtTest>

// The commands of cmd that batch files use beyond set, cd and call: for,
// set /a, delayed expansion, the file and console commands, and paths with
// backslashes. Each row names the rule of cmd's documentation it follows
// (for /?, set /?, copy /? and the others).
class TestBatchCommands : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.create()); }
    void forLoops_data();
    void forLoops() { checkBatchRow(m_folder); }
    void forLines_data();
    void forLines() { checkBatchRow(m_folder); }
    void arithmetic_data();
    void arithmetic() { checkBatchRow(m_folder); }
    void delayedExpansion_data();
    void delayedExpansion() { checkBatchRow(m_folder); }
    void folders_data();
    void folders() { checkBatchRow(m_folder); }
    void files_data();
    void files() { checkBatchRow(m_folder); }
    void backslashes_data();
    void backslashes() { checkBatchRow(m_folder); }
    void console_data();
    void console() { checkBatchRow(m_folder); }
    void commandLine_data();
    void commandLine();

private:
    BatchFolder m_folder;
};

void TestBatchCommands::forLoops_data()
{
    addBatchColumns();
    // for /? : the set is a list of words.
    addBatchRow("words in order", "@for %%a in (one two,three;four) do @echo %%a", "one\ntwo\nthree\nfour\n");
    addBatchRow("quotes stay and %~ drops them", "@for %%a in (\"a b\" c) do @echo %%a %%~a\n", "\"a b\" a b\nc c\n");
    // Wildcards match files, not folders, in name order.
    addBatchRow("wildcards",
                "@echo x>b.txt\n@echo x>a.txt\n@echo x>c.log\n@md d.txt\n@for %%f in (*.txt) do @echo %%f\n",
                "a.txt\nb.txt\n");
    addBatchRow("wildcards keep the folder as written",
                "@echo x>sub\\f.txt\n@for %%f in (sub\\*.txt) do @echo %%f %%~nxf\n", "sub\\f.txt f.txt\n");
    addBatchRow("/d takes folders", "@md one\n@for /d %%d in (*) do @echo %%d\n", "my tools\none\nsub\n");
    // /r: each folder of the tree, a folder before those in it.
    addBatchRow("/r over a tree",
                "@md sub\\deep\n@echo x>sub\\a.txt\n@echo x>sub\\deep\\b.txt\n@echo x>top.txt\n"
                "@for /r %%f in (*.txt) do @echo %%f\n",
                "<dir>/top.txt\n<dir>/sub/a.txt\n<dir>/sub/deep/b.txt\n");
    addBatchRow("/r from a folder with a period", "@md sub\\deep\n@for /r sub %%d in (.) do @echo %%~fd\n",
                "<dir>/sub\n<dir>/sub/deep\n");
    // /l (start,step,end).
    addBatchRow("/l up and down", "@for /l %%i in (1,2,7) do @echo %%i\n@for /l %%i in (3 -1 1) do @echo %%i\n",
                "1\n3\n5\n7\n3\n2\n1\n");
    addBatchRow("/l past its end", "@for /l %%i in (5,1,1) do @echo %%i\n@echo done\n", "done\n");
    // The %~ modifiers of for /?, and a variable that is itself a modifier letter.
    addBatchRow("modifiers", "@echo 12345>f.txt\n@for %%f in (f.txt) do @echo %%~nf %%~xf %%~zf %%~dpnxf\n",
                "f .txt 6 <dir>/f.txt\n");
    addBatchRow("variable named like a modifier", "@for %%f in (x.y) do @echo %%~nf %%~xf\n", "x .y\n");
    addBatchRow("search on PATH", "@for %%p in (sh) do @echo %%~$PATH:p\n", "/usr/bin/sh\n");
    addBatchRow("nested loops", "@for %%a in (1 2) do @for %%b in (x y) do @echo %%a%%b\n", "1x\n1y\n2x\n2y\n");
    addBatchRow("block over lines", "@echo off\nfor %%a in (1 2) do (\n  echo a%%a\n  echo b%%a\n)\n",
                "a1\nb1\na2\nb2\n");
    addBatchRow("body is the rest of the line", "@for %%a in (1 2) do @echo %%a& echo x\n", "1\nx\n2\nx\n");
    addBatchRow("goto leaves the loop", "@for %%a in (1 2 3) do @if %%a==2 (goto out) else echo %%a\n:out\n@echo out\n",
                "1\nout\n");
    // %NAME% is read once, when the line is read, before the loop runs.
    addBatchRow("percent expansion before the loop", "@set n=0\n@for %%a in (1 2) do @set n=%%a& call echo %n% %%n%%\n",
                "0 1\n0 2\n");
    addBatchRow("set on more lines", "@for %%a in (\n  one\n  two\n) do @echo %%a\n", "one\ntwo\n");
    addBatchRow("missing in", "@for %%a (x) do echo %%a\n@echo next\n", "next\n", "(x) was unexpected at this time.\n",
                255);
}

void TestBatchCommands::forLines_data()
{
    addBatchColumns();
    const QByteArray lines = "@echo a b>in.txt\n@echo ;comment>>in.txt\n@echo.>>in.txt\n@echo   c d>>in.txt\n";
    // for /? : /f skips blank lines and those starting with eol (";").
    addBatchRow("lines of a file", lines + "@for /f %%a in (in.txt) do @echo [%%a]\n", "[a]\n[c]\n");
    addBatchRow("tokens and delims", "@for /f \"tokens=2,3 delims=,\" %%a in (\"x,y,z,w\") do @echo %%a-%%b\n",
                "y-z\n");
    addBatchRow("a range and the rest", "@for /f \"tokens=1-2*\" %%a in (\"a b c  d\") do @echo %%a/%%b/%%c\n",
                "a/b/c  d\n");
    addBatchRow("tokens=*", "@for /f \"tokens=*\" %%a in (\"  x  y \") do @echo [%%a]\n", "[x  y ]\n");
    addBatchRow("empty delims keep the line", "@for /f \"delims=\" %%a in (\"  x  y\") do @echo [%%a]\n", "[  x  y]\n");
    addBatchRow("missing tokens are empty", "@for /f \"tokens=1,2\" %%a in (\"x\") do @echo [%%a][%%b]\n", "[x][]\n");
    addBatchRow("skip and eol",
                "@echo h1>in.txt\n@echo h2>>in.txt\n@echo #c>>in.txt\n@echo v>>in.txt\n"
                "@for /f \"skip=2 eol=#\" %%a in (in.txt) do @echo %%a\n",
                "v\n");
    addBatchRow("command output", "@for /f \"tokens=2\" %%a in ('echo one two') do @echo %%a\n", "two\n");
    // The command runs in a cmd /c of its own, where set /a prints.
    addBatchRow("command at the prompt level", "@for /f %%a in ('set /a 6*7') do @echo %%a\n", "42\n");
    addBatchRow("program output", "@for /f \"delims=\" %%a in ('/usr/bin/printf \"x y\\nz\\n\"') do @echo [%%a]\n",
                "[x y]\n[z]\n");
    // usebackq: `command`, 'string', "file name".
    addBatchRow("usebackq",
                "@echo content>\"my file.txt\"\n@for /f \"usebackq\" %%a in (\"my file.txt\") do @echo %%a\n"
                "@for /f \"usebackq delims=\" %%a in (`echo a b`) do @echo %%a\n"
                "@for /f \"usebackq\" %%a in ('literal') do @echo %%a\n",
                "content\na b\nliteral\n");
    addBatchRow("missing file", "@for /f %%a in (none.txt) do @echo %%a\n@echo %errorlevel%\n", "1\n",
                "The system cannot find the file none.txt.\n", 1);
    addBatchRow("bad option", "@for /f \"tokens=0\" %%a in (\"x\") do @echo %%a\n", "",
                "tokens=0 was unexpected at this time.\n", 255);
}

void TestBatchCommands::arithmetic_data()
{
    addBatchColumns();
    // set /? : precedence from () down to ",", decimal, 0x hex and 0 octal
    // numbers, names without percent signs, and undefined names as 0.
    addBatchRow("precedence", "@set /a \"x=2+3*4, y=(2+3)*4, z=1+2<<3\"\n@echo %x% %y% %z%\n", "14 20 24\n");
    addBatchRow("division and remainder", "@set /a x=-7/2, y=-7 %% 2, z=7 %% -2\n@echo %x% %y% %z%\n", "-3 -1 1\n");
    addBatchRow("bit operators",
                "@set /a \"a=1<<4, b=-16>>2, c=6&3, d=6|3, e=6^3, f=~0, g=!5, h=!0\"\n"
                "@echo %a% %b% %c% %d% %e% %f% %g% %h%\n",
                "16 -4 2 7 5 -1 0 1\n");
    addBatchRow(
        "assignment operators",
        "@set /a x=10\n@set /a x+=5, x-=3, x*=2, x/=4, x%%=4\n@set /a \"y=1, y<<=3, y|=1, y&=13, y^=2, y>>=1\"\n"
        "@echo %x% %y%\n",
        "2 5\n");
    addBatchRow("names and undefined names", "@set v=5\n@set /a x=v*2+undefined\n@echo %x%\n", "10\n");
    addBatchRow("values read as numbers", "@set v=0x1F\n@set w=12abc\n@set /a x=v+w\n@echo %x%\n", "43\n");
    addBatchRow("octal and hex", "@set /a x=010+0x10+10\n@echo %x%\n", "34\n");
    addBatchRow("32-bit wraparound", "@set /a x=2147483647+1, y=0xFFFFFFFF, z=65536*65536\n@echo %x% %y% %z%\n",
                "-2147483648 -1 0\n");
    addBatchRow("chained assignment", "@set /a a=b=c=7\n@echo %a%%b%%c%\n", "777\n");
    addBatchRow("unary operators", "@set /a x=-(-5), y=- -3, z=~-1\n@echo %x% %y% %z%\n", "5 3 0\n");
    addBatchRow("quiet in a batch file", "@set /a 1+2\n", "");
    // The messages of set /a and the error levels cmd leaves with them.
    addBatchRow("divide by zero", "@set /a x=1/0\n@echo %errorlevel% [%x%]\n", "1073750993 []\n",
                "Divide by zero error.\n", exitStatus(1073750993));
    addBatchRow("missing operand", "@set /a x=1+\n", "", "Missing operand.\n", exitStatus(1073750989));
    addBatchRow("missing operator", "@set /a 1 2\n", "", "Missing operator.\n", exitStatus(1073750990));
    addBatchRow("unbalanced parenthesis", "@set /a (1+2\n", "", "Unbalanced parenthesis.\n", exitStatus(1073750988));
    addBatchRow("invalid digits", "@set /a 09\n", "",
                "Invalid number.  Numeric constants are either decimal (17), hexadecimal (0x11), or octal (021).\n",
                exitStatus(1073750991));
    addBatchRow("more than 32 bits", "@set /a 2147483648\n", "",
                "Invalid number.  Numbers are limited to 32-bits of precision.\n", exitStatus(1073750992));
    addBatchRow("no expression", "@set /a\n", "", syntaxError, 1);
    QByteArray chain = "@set /a \"";
    for (int i = 0; i < 300; ++i)
        chain += "a=";
    addBatchRow(
        "nesting beyond any need",
        "@set /a " + QByteArray(300, '(') + '1' + QByteArray(300, ')') + "\n" + chain + "1\"\n@echo [%a%]\n", "[]\n",
        "korvani-cmd: the expression is nested too deeply\nkorvani-cmd: the expression is nested too deeply\n", 1);
}

void TestBatchCommands::delayedExpansion_data()
{
    addBatchColumns();
    const QByteArray enabled = "@setlocal enabledelayedexpansion\n";
    // set /? : !NAME! is expanded when the command runs, %NAME% when the
    // line is read.
    addBatchRow("value when the command runs", enabled + "@set v=1\n@(set v=2& echo !v! %v%)\n", "2 1\n");
    addBatchRow("a loop sees new values", enabled + "@for %%a in (a b c) do @set s=!s!%%a\n@echo !s!\n", "abc\n");
    addBatchRow("edited forms", enabled + "@set v=abcdef\n@echo !v:~1,3! !v:c=X! !v:~-2!\n", "bcd abXdef ef\n");
    addBatchRow("escaped exclamation marks", enabled + "@echo hi^^!\n@echo \"a^!b\"\n", "hi!\n\"a!b\"\n");
    addBatchRow("undefined names vanish", enabled + "@echo [!nothing!]\n", "[]\n");
    addBatchRow("in conditions", enabled + "@set v=x\n@if !v!==x echo yes\n", "yes\n");
    addBatchRow("off by default", "@echo hi!x!\n", "hi!x!\n");
    addBatchRow("endlocal restores the setting",
                enabled + "@set v=1\n@setlocal disabledelayedexpansion\n@echo !v!\n@endlocal\n@echo !v!\n", "!v!\n1\n");
    // setlocal /? : an argument it does not know sets the error level to 1.
    addBatchRow("unknown setlocal argument", "@setlocal bogus\n@echo %errorlevel%\n", "1\n", "", 1);
    // Without an argument setlocal succeeds, which clears the error level.
    addBatchRow("setlocal without an argument", "@/bin/false\n@setlocal\n@echo %errorlevel%\n", "0\n");
}

void TestBatchCommands::folders_data()
{
    addBatchColumns();
    // md /? : folders on the way are made too.
    addBatchRow("md with folders on the way", "@md a\\b\\c\n@if exist a\\b\\c\\nul echo made\n", "made\n");
    addBatchRow("md of an existing one", "@md sub\n@echo %errorlevel%\n", "1\n",
                "A subdirectory or file sub already exists.\n", 1);
    addBatchRow("mkdir of several", "@mkdir x \"y z\"\n@dir /b /ad\n", "my tools\nsub\nx\ny z\n");
    // rd /? : a folder must be empty unless /s; /q does not ask. What rd
    // cannot remove leaves the error level as it was.
    addBatchRow("rd of an empty folder", "@md e\n@rd e\n@if not exist e echo gone\n", "gone\n");
    addBatchRow("rd of a folder with files", "@echo x>sub\\f.txt\n@rd sub\n@echo %errorlevel%\n", "0\n",
                "The directory is not empty.\n");
    addBatchRow("rd /s /q", "@md sub\\deep\n@echo x>sub\\deep\\f.txt\n@rd /s /q sub\n@if not exist sub echo gone\n",
                "gone\n");
    addBatchRow("rd /s asks", "@md t\n@rd /s t\n@if exist t echo kept\n", "t, Are you sure (Y/N)? kept\n", "", 0,
                "n\n");
    addBatchRow("rd of a missing folder", "@rd none\n", "", fileError);
    addBatchRow("rd of a file", "@echo x>f.txt\n@rd f.txt\n", "", "The directory name is invalid.\n");
}

void TestBatchCommands::files_data()
{
    addBatchColumns();
    // del /? : wildcards; a whole folder is asked for unless /q; /s names
    // each file it deletes; /f deletes read-only files. del clears the error
    // level even where it fails.
    addBatchRow("del with wildcards", "@echo x>a.txt\n@echo x>b.txt\n@echo x>c.log\n@del *.txt\n@dir /b /a-d\n",
                "c.log\nrun.bat\n");
    addBatchRow("del of a missing file", "@del none.txt\n@echo %errorlevel%\n", "0\n",
                "Could Not Find <dir>/none.txt\n");
    addBatchRow("del in a missing folder", "@del none\\a.txt\n", "", pathError);
    addBatchRow("del of a folder asks", "@echo x>sub\\a.txt\n@del sub\n@dir /b sub\n",
                "<dir>/sub/*, Are you sure (Y/N)? ", "File Not Found\n", 1, "y\n");
    addBatchRow("del /s", "@md sub\\deep\n@echo x>sub\\a.txt\n@echo x>sub\\deep\\b.txt\n@del /s /q sub\\*.txt\n",
                "Deleted file - <dir>/sub/a.txt\nDeleted file - <dir>/sub/deep/b.txt\n");
    addBatchRow("del of a read-only file",
                "@echo x>r.txt\n@/bin/chmod a-w r.txt\n@del r.txt\n@echo %errorlevel%\n@del /f r.txt\n"
                "@if not exist r.txt echo gone\n",
                "0\ngone\n", "Access is denied.\n");
    addBatchRow("a switch del does not have", "@del /x a.txt\n", "", "Invalid switch - /x.\n", 1);
    addBatchRow("an absolute path is no switch", "@echo x>a.txt\n@del %CD%\\a.txt\n@if not exist a.txt echo gone\n",
                "gone\n");
    // copy /? : several files onto one are joined; in a batch file copy
    // overwrites without asking.
    addBatchRow("copy", "@echo data>a.txt\n@copy a.txt b.txt\n@type b.txt\n", "        1 file(s) copied.\ndata\n");
    addBatchRow("copy into a folder", "@echo data>a.txt\n@copy a.txt sub\n@type sub\\a.txt\n",
                "        1 file(s) copied.\ndata\n");
    addBatchRow("copy with wildcards", "@echo x>a.txt\n@echo y>b.txt\n@copy *.txt sub\n@dir /b sub\n",
                "a.txt\nb.txt\n        2 file(s) copied.\na.txt\nb.txt\n");
    addBatchRow("copy a+b", "@echo one>a.txt\n@echo two>b.txt\n@copy a.txt+b.txt c.txt\n@type c.txt\n",
                "a.txt\nb.txt\n        1 file(s) copied.\none\ntwo\n");
    addBatchRow("copy overwrites", "@echo old>b.txt\n@echo new>a.txt\n@copy a.txt b.txt\n@type b.txt\n",
                "        1 file(s) copied.\nnew\n");
    addBatchRow("copy of a missing file", "@copy none.txt x.txt\n@echo %errorlevel%\n",
                "        0 file(s) copied.\n1\n", fileError, 1);
    addBatchRow("copy onto itself", "@echo x>a.txt\n@copy a.txt a.txt\n", "        0 file(s) copied.\n",
                "The file cannot be copied onto itself.\n", 1);
    addBatchRow("copy into a missing folder", "@echo x>a.txt\n@copy a.txt none\\b.txt\n", "        0 file(s) copied.\n",
                pathError, 1);
    addBatchRow("copy to new names", "@echo x>a.txt\n@copy *.txt *.bak\n@dir /b *.bak\n",
                "a.txt\n        1 file(s) copied.\na.bak\n");
    // move /? and ren /?.
    addBatchRow("move into a folder", "@echo x>a.txt\n@move a.txt sub\n@dir /b sub\n",
                "        1 file(s) moved.\na.txt\n");
    addBatchRow("move a folder", "@move sub other\n@dir /b /ad\n", "        1 dir(s) moved.\nmy tools\nother\n");
    addBatchRow("move of a missing file", "@move none.txt sub\n", "", fileError, 1);
    addBatchRow("ren", "@echo x>a.txt\n@ren a.txt b.txt\n@dir /b /a-d\n", "b.txt\nrun.bat\n");
    addBatchRow("ren with wildcards", "@echo x>a.txt\n@echo x>b.c.txt\n@ren *.txt *.bak\n@dir /b *.bak\n",
                "a.bak\nb.c.bak\n");
    addBatchRow("ren onto an existing name", "@echo x>a.txt\n@echo x>b.txt\n@ren a.txt b.txt\n", "",
                "A duplicate file name exists, or the file cannot be found.\n", 1);
    addBatchRow("ren to another folder", "@echo x>a.txt\n@ren a.txt sub\\b.txt\n", "", syntaxError, 1);
    addBatchRow("other names of the same commands",
                "@echo x>a.txt\n@rename a.txt b.txt\n@erase b.txt\n@mkdir e\n@rmdir e\n@chdir sub\n@dir /b ..\n",
                "my tools\nrun.bat\nsub\n");
    // type /?.
    addBatchRow("type", "@echo one>a.txt\n@type a.txt\n", "one\n");
    addBatchRow("type of a missing file", "@type none.txt\n", "", fileError, 1);
    addBatchRow("type of a folder", "@type sub\n", "", "Access is denied.\n", 1);
    // dir /? : /b bare names; /s full paths; /a attributes; /o order.
    addBatchRow("dir /b", "@echo x>B.txt\n@echo x>a.txt\n@echo x>.hidden\n@dir /b\n",
                "a.txt\nB.txt\nmy tools\nrun.bat\nsub\n");
    addBatchRow("dir /b /s", "@echo x>sub\\f.txt\n@dir /b /s *.txt\n", "<dir>/sub/f.txt\n");
    addBatchRow("dir /b /a-d /o-n", "@echo x>a.txt\n@echo x>b.txt\n@dir /b /a-d /o-n\n", "run.bat\nb.txt\na.txt\n");
    addBatchRow("dir /b /a-d shows hidden files", "@echo x>.hidden\n@dir /b /a-d\n", ".hidden\nrun.bat\n");
    addBatchRow("dir /b with nothing found", "@dir /b *.none\n", "", "File Not Found\n", 1);
}

void TestBatchCommands::backslashes_data()
{
    addBatchColumns();
    // Backslashes separate folders in every path the interpreter opens
    // itself; what programs receive stays as written.
    addBatchRow("redirection", "@echo hi> sub\\b.txt\n@/bin/ls sub\n@type sub\\b.txt\n", "b.txt\nhi\n");
    // NUL is the null device in any folder.
    addBatchRow("nul in a folder", "@echo hidden>sub\\nul\n@echo hidden>sub\\NUL:\n@/bin/ls sub\n", "");
    addBatchRow("cd and pushd", "@cd sub\\..\\sub\n@cd\n@cd \\\n@cd\n@pushd %~dp0sub\n@cd\n",
                "<dir>/sub\n/\n<dir>/sub\n");
    addBatchRow("if exist",
                "@echo x>sub\\f.txt\n@if exist sub\\f.txt echo file\n@if exist sub\\*.txt echo wildcard\n"
                "@if exist sub\\nul echo folder\n@if exist none\\nul (echo no) else echo none\n",
                "file\nwildcard\nfolder\nnone\n");
    addBatchRow("call of a file", "@echo @echo inner>sub\\h.bat\n@call sub\\h.bat\n@call sub\\h\n", "inner\ninner\n");
    addBatchRow("path modifiers", "@call :s sub\\x.txt\n@goto :eof\n:s\n@echo %~f1 %~nx1 %~dp1\n",
                "<dir>/sub/x.txt x.txt <dir>/sub/\n");
    addBatchRow("program arguments untouched", "@\"my tools\\show\" a\\b \"c\\d\"\n", "[a\\b]\n[c\\d]\n");
}

void TestBatchCommands::console_data()
{
    addBatchColumns();
    addBatchRow("title and color", "@title My Launch\n@color 0A\n@echo %errorlevel%\n", "0\n");
    // color /? : the same foreground and background set the error level to 1.
    addBatchRow("color with one colour twice", "@color 11\n@echo %errorlevel%\n", "1\n", "", 1);
    addBatchRow("cls into a pipe", "@cls\n", "\f");
    addBatchRow("ver", "@ver\n", "\nkorvani-cmd [Version " KORVANI_VERSION "]\n");
    addBatchRow("chcp", "@chcp\n@chcp 65001\n", "Active code page: 65001\nActive code page: 65001\n");
    addBatchRow("timeout of no time", "@timeout /t 0 /nobreak\n",
                "\nWaiting for 0 seconds, press CTRL+C to quit ...\n");
    addBatchRow("timeout waits",
                "@for /f %%a in ('/bin/date +%%s') do @set t0=%%a\n@timeout 1 >nul\n"
                "@for /f %%a in ('/bin/date +%%s') do @set /a d=%%a-t0\n@if %d% GEQ 1 echo waited\n",
                "waited\n");
    addBatchRow("timeout out of range", "@timeout /t 100000\n", "",
                "ERROR: Invalid value for timeout (/T) specified. Valid range is -1 to 99999.\n", 1);
}

void TestBatchCommands::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("output");
    QTest::addColumn<QByteArray>("error");
    QTest::addColumn<int>("exitCode");

    // for /? : on a command line a loop variable has one percent sign.
    QTest::newRow("for") << QStringList{"/c", "for %i in (a b) do @echo %i"} << QByteArray("a\nb\n") << QByteArray()
                         << 0;
    // set /? : at the command line set /a shows its result, without a line end.
    QTest::newRow("set /a") << QStringList{"/c", "set /a 6*7"} << QByteArray("42") << QByteArray() << 0;
    // On the command line an undefined name stays as written.
    QTest::newRow("undefined names stay") << QStringList{"/c", "echo", "%nosuch%", "100%", "%PATH%"}
                                          << QByteArray("%nosuch% 100% /usr/bin:/bin\n") << QByteArray() << 0;
    QTest::newRow("words with blanks") << QStringList{"/c", "my tools/show", "a", "b c"} << QByteArray("[a]\n[b c]\n")
                                       << QByteArray() << 0;
    QTest::newRow("call of a label") << QStringList{"/c", "call :x"} << QByteArray()
                                     << QByteArray("Invalid attempt to call batch label outside of batch script.\n")
                                     << 1;
}

void TestBatchCommands::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, output);
    QFETCH(QByteArray, error);
    QFETCH(int, exitCode);

    const BatchRun run = m_folder.runInterpreter(arguments);
    QCOMPARE(run.error, error);
    QCOMPARE(run.output, output);
    QCOMPARE(run.exitCode, exitCode);
}

QTEST_GUILESS_MAIN(TestBatchCommands)
#include "TestBatchCommands.moc"
