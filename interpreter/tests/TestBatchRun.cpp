#include "batchRunner.h"

#include <QDir>
#include <QtTest>

// Runs the built korvani-cmd on batch files and compares what it writes and
// the status it ends with. Rows that mend a departure from cmd name the
// documented rule they follow.
class TestBatchRun : public QObject
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(m_folder.create()); }
    void echo_data();
    void echo() { checkBatchRow(m_folder); }
    void errorLevels_data();
    void errorLevels() { checkBatchRow(m_folder); }
    void variables_data();
    void variables() { checkBatchRow(m_folder); }
    void quoting_data();
    void quoting() { checkBatchRow(m_folder); }
    void redirections_data();
    void redirections() { checkBatchRow(m_folder); }
    void flow_data();
    void flow() { checkBatchRow(m_folder); }
    void conditions_data();
    void conditions() { checkBatchRow(m_folder); }
    void directories_data();
    void directories() { checkBatchRow(m_folder); }
    void input_data();
    void input() { checkBatchRow(m_folder); }
    void unsupported_data();
    void unsupported() { checkBatchRow(m_folder); }

private:
    BatchFolder m_folder;
};

namespace {

// 9009 as a process exit status: only its low byte reaches the parent.
const int notFoundStatus = exitStatus(9009);

} // namespace

void TestBatchRun::echo_data()
{
    addBatchColumns();
    // cmd shows a command as it parsed it: a simple command with a blank after it.
    addBatchRow("prompt before each command", "set X=1\necho %X%\n", "\n<dir>>set X=1 \n\n<dir>>echo 1 \n1\n");
    addBatchRow("at sign hides one line", "@echo a\necho b\n", "a\n\n<dir>>echo b \nb\n");
    addBatchRow("echo off", "@echo off\necho a\n/bin/true\n", "a\n");
    addBatchRow("echo off is itself echoed", "echo off\necho a\n", "\n<dir>>echo off \na\n");
    addBatchRow("echo on again", "@echo off\necho a\necho on\necho b\n", "a\n\n<dir>>echo b \nb\n");
    addBatchRow("state when on", "@echo\n@echo   \n", "ECHO is on.\nECHO is on.\n");
    addBatchRow("state when off in any case", "@ECHO OFF\nEcho\n", "ECHO is off.\n");
    addBatchRow("empty line and other separators", "@echo.\n@echo:x\n@echo(y\n@echo/\n", "\nx\ny\n\n");
    addBatchRow("text after one blank kept as is", "@echo  two  spaces  \n", " two  spaces  \n");
    addBatchRow("quotes kept", "@echo \"a b\" 'c'\n", "\"a b\" 'c'\n");
    addBatchRow("a word starting with on", "@echo on top\n", "on top\n");
    addBatchRow("labels blank lines and comments", "\n   \n:label\n:: note\nrem note\necho x\n",
                "\n<dir>>rem note \n\n<dir>>echo x \nx\n");
    addBatchRow("carets escape", "@echo a^&b ^<c^> ^^ ^|\n", "a&b <c> ^ |\n");
    addBatchRow("quotes hide operators", "@echo \"a&b|c>d\"\n", "\"a&b|c>d\"\n");
    addBatchRow("blank before ampersand stays", "@echo a & echo b\n", "a \nb\n");
    addBatchRow("no final line feed", "@echo a\n@echo b", "a\nb\n");
    addBatchRow("carriage returns", "@echo a\r\n@echo b\r\n", "a\nb\n");
    // A block shows on one line, and if with blanks around its "==".
    addBatchRow("echo of a block", "if a==a (\necho 1\n)\n", "\n<dir>>if a == a (echo 1 ) \n1\n");
    // cmd skips blanks, commas, semicolons and equal signs before a command.
    addBatchRow("delimiters before a command", "@;,=echo x\n@ = echo y\n@echo a& ,echo b\n", "x\ny\na\nb\n");
}

void TestBatchRun::errorLevels_data()
{
    addBatchColumns();
    addBatchRow("program not found", "@nosuch-program x\n", "", "'nosuch-program" + notRecognized, notFoundStatus);
    addBatchRow("quoted program not found", "@\"/no such/p\" x\n", "", "'\"/no such/p\"" + notRecognized,
                notFoundStatus);
    addBatchRow("a folder is no program", "@/tmp\n", "", "'/tmp" + notRecognized, notFoundStatus);
    addBatchRow("error level 9009", "@nosuch 2>nul\n@echo %ERRORLEVEL%\n", "9009\n", "", notFoundStatus);
    addBatchRow("not executable", "@echo x>plain.txt\n@./plain.txt\n@echo %ERRORLEVEL%\n", "1\n", "Access is denied.\n",
                1);
    addBatchRow("program exit code", "@/bin/sh -c \"exit 5\"\n@echo %errorlevel%\n", "5\n", "", 5);
    addBatchRow("status is the last error level", "@/bin/sh -c \"exit 3\"\n@echo x\n@set A=1\n", "x\n", "", 3);
    addBatchRow("killed by a signal", "@/bin/sh -c \"kill -TERM $$\"\n@echo %ERRORLEVEL%\n", "143\n", "", 143);
    addBatchRow("exit with a number", "@exit 4\n@echo not reached\n", "", "", 4);
    addBatchRow("exit keeps the error level", "@/bin/false\n@exit\n", "", "", 1);
    addBatchRow("exit from a subroutine ends all", "@call :sub\n@echo not reached\n@goto :eof\n:sub\n@exit 6\n", "", "",
                6);
    addBatchRow("cd clears the error level", "@/bin/false\n@cd .\n", "", "", 0);
    addBatchRow("and or", "@/bin/false && echo no || echo yes\n@/bin/true && echo ok\n", "yes\nok\n");
    addBatchRow("failure skips a chain", "@/bin/false && echo a && echo b\n", "", "", 1);
    addBatchRow("ampersand runs both", "@/bin/false & echo next\n", "next\n", "", 1);
    addBatchRow("built-in failure for or", "@cd nowhere 2>nul || echo failed\n", "failed\n", "", 1);
}

void TestBatchRun::variables_data()
{
    addBatchColumns();
    addBatchRow("set and expand", "@set NAME=value\n@echo [%NAME%]\n", "[value]\n");
    addBatchRow("undefined is empty", "@echo [%NOPE%]\n", "[]\n");
    addBatchRow("double percent", "@echo 100%%\n", "100%\n");
    addBatchRow("lone percent dropped", "@echo 50% off\n", "50 off\n");
    addBatchRow("quoted assignment", "@set \"A=x y\" trailing\n@echo [%A%]\n", "[x y]\n");
    addBatchRow("quotes in the value stay", "@set A=\"x\"\n@echo %A%\n", "\"x\"\n");
    addBatchRow("trailing blank stays", "@set A=x \n@echo [%A%]\n", "[x ]\n");
    addBatchRow("empty value removes", "@set A=1\n@set A=\n@if defined A (echo yes) else (echo no)\n", "no\n");
    addBatchRow("names in any case", "@set Mixed=1\n@echo %MIXED% %mixed%\n", "1 1\n");
    addBatchRow("path in any case", "@echo %path%\n", "/usr/bin:/bin\n");
    addBatchRow("exact spelling first", "@echo %Korvani_Mixed% %KORVANI_MIXED%\n", "one two\n");
    addBatchRow("another case updates", "@set A=1\n@set a=2\n@set A\n", "A=2\n");
    addBatchRow("setting path in another case", "@set path=/nowhere\n@true\n", "", "'true" + notRecognized,
                notFoundStatus);
    // OS and COMSPEC are there for batch files, as in cmd.
    addBatchRow("list sorted", "@set B_V=2\n@set a_v=1\n@set\n",
                "a_v=1\nB_V=2\nCOMSPEC=<cmd>\nKORVANI_MIXED=two\nKorvani_Mixed=one\nLANG=C.UTF-8\nOS=Windows_NT\n"
                "PATH=/usr/bin:/bin\n");
    addBatchRow("list by prefix", "@set la\n", "LANG=C.UTF-8\n");
    addBatchRow("prefix not found", "@set nothing_here\n", "", "Environment variable nothing_here not defined\n", 1);
    addBatchRow("no name", "@set =x\n", "", syntaxError, 1);
    addBatchRow("programs see variables", "@set KV=hello\n@/bin/sh -c \"echo $KV\"\n", "hello\n");
    addBatchRow("programs lose removed ones", "@set KORVANI_MIXED=\n@/bin/sh -c \"echo [$KORVANI_MIXED]\"\n", "[]\n");
    addBatchRow("parameters of a call",
                "@call :show a \"b c\" d\n@goto :eof\n:show\n@echo %0 1=%1 2=%2 3=%3 4=[%4] %*\n",
                ":show 1=a 2=\"b c\" 3=d 4=[] a \"b c\" d\n");
    addBatchRow("batch as given", "@echo %0 [%1]\n", "run.bat []\n");
    addBatchRow("batch folder", "@echo %~dp0\n", "<dir>/\n");
    addBatchRow("path parts", "@echo %~f0 %~n0 %~x0 %~nx0 %~d0\n", "<dir>/run.bat run .bat run.bat \n");
    addBatchRow("batch folder in a subroutine", "@cd sub\n@call :s\n@goto :eof\n:s\n@echo %~dp0 %~f1\n", "<dir>/ \n");
    // Backslashes separate folders in the paths the %~ modifiers make.
    addBatchRow("parameter without quotes", "@call :s \"a b\" sub\\..\\x\n@goto :eof\n:s\n@echo %~1 %~f2\n",
                "a b <dir>/x\n");
    addBatchRow("parameter found on a path", "@call :s sh\n@goto :eof\n:s\n@echo %~$PATH:1\n", "/usr/bin/sh\n");
    addBatchRow("shift", "@call :s a b c\n@goto :eof\n:s\n@shift\n@echo %0 %1 %2 [%3] %*\n", "a b c [] a b c\n");
    // After shift, %0 is the old %1, and %~nx0 names it rather than the batch file.
    addBatchRow("modifiers of %0 after shift", "@call :s sub\\one.txt two\n@goto :eof\n:s\n@shift\n@echo %~nx0 %~n0\n",
                "one.txt one\n");
    // for /? lists %~a (attributes) and %~t (date and time) beside %~z.
    addBatchRow("attributes time and size",
                "@echo 12345>f.txt\n@call :s f.txt sub\n@goto :eof\n:s\n@echo %~a1 %~z1 %~a2\n"
                "@for /f \"delims=\" %%t in ('/bin/date -r f.txt \"+%%m/%%d/%%Y %%H:%%M\"') do @if \"%%t\"==\"%~t1\" "
                "echo time\n",
                "--a------ 6 d--------\ntime\n");
    // In a batch file, an edit of an undefined variable leaves the text after
    // the colon, and reading goes on from there.
    addBatchRow("edits of an undefined name", "@echo [%U:~1,3%]\n@echo [%U:a=b%]\n", "[~1,3]\n[a=b]\n");
    // set /? : RANDOM is 0 to 32767, DATE the locale's date, TIME hh:mm:ss.cc;
    // a variable of the same name wins.
    addBatchRow("dynamic variables",
                "@set /a r=%RANDOM%\n@if %r% GEQ 0 if %r% LEQ 32767 echo random\n"
                "@for /f %%v in ('/bin/date +%%m/%%d/%%Y') do @if \"%%v\"==\"%DATE%\" echo date\n"
                "@echo %TIME:~2,1%%TIME:~5,1%%TIME:~8,1% %CMDEXTVERSION%\n@set RANDOM=mine\n@echo %RANDOM%\n",
                "random\ndate\n::. 2\nmine\n");
    addBatchRow("substrings", "@set V=abcdef\n@echo %V:~1,3% %V:~-2% %V:~0,-2% %V:~4%\n", "bcd ef abcd ef\n");
    addBatchRow("replacements", "@set V=a-b-C\n@echo %V:-=+% %V:c=x% %V:*-=%\n", "a+b+C a-b-x b-C\n");
    addBatchRow("current folder and error level", "@/bin/sh -c \"exit 2\"\n@echo %CD% %ERRORLEVEL%\n", "<dir> 2\n", "",
                2);
    addBatchRow("set error level wins", "@set ERRORLEVEL=x\n@echo %ERRORLEVEL%\n", "x\n");
    addBatchRow("expanded when the line is read", "@set V=1\n@set V=2& echo %V%\n@echo %V%\n", "1\n2\n");
    addBatchRow("call expands again", "@set V=inner\n@call echo %%V%%\n", "inner\n");
    // call doubles carets before it reads the line again: one level survives.
    addBatchRow("call keeps escaped carets", "@call echo a^^b\n@call echo \"c^d\"\n", "a^b\n\"c^^d\"\n");
    addBatchRow("setlocal and endlocal", "@set V=outer\n@setlocal\n@set V=inner\n@echo %V%\n@endlocal\n@echo %V%\n",
                "inner\nouter\n");
    addBatchRow("end of a call ends its setlocal",
                "@set V=1\n@call :s\n@echo %V%\n@goto :eof\n:s\n@setlocal\n@set V=2\n", "1\n");
    addBatchRow("path command", "@path /a:/b\n@path\n@path ;\n@path\n", "PATH=/a:/b\nNo Path\n");
}

void TestBatchRun::quoting_data()
{
    addBatchColumns();
    const QByteArray show = "@printf \"[%%s]\\n\" ";
    addBatchRow("blanks separate", show + "a b  c\n", "[a]\n[b]\n[c]\n");
    addBatchRow("tabs separate", show + "a\tb\n", "[a]\n[b]\n");
    addBatchRow("quotes group", show + "\"a b\" c\n", "[a b]\n[c]\n");
    addBatchRow("quotes inside a word", show + "a\"b c\"d\n", "[ab cd]\n");
    addBatchRow("empty quotes", show + "\"\" x\n", "[]\n[x]\n");
    addBatchRow("backslash quote", show + "a\\\"b\n", "[a\"b]\n");
    addBatchRow("two backslashes then quote", show + "\"a\\\\\" b\n", "[a\\]\n[b]\n");
    addBatchRow("three backslashes then quote", show + "a\\\\\\\"b\n", "[a\\\"b]\n");
    addBatchRow("backslashes elsewhere", show + "a\\\\b\\c\\\n", "[a\\\\b\\c\\]\n");
    addBatchRow("doubled quote inside quotes", show + "\"a\"\"b\" c\n", "[a\"b]\n[c]\n");
    addBatchRow("single quotes are plain", show + "'a b'\n", "['a]\n[b']\n");
    addBatchRow("escaped operators", show + "a^&b ^\"c d^\"\n", "[a&b]\n[c d]\n");
    addBatchRow("operators inside quotes", show + "\"a&b|c<d>e\"\n", "[a&b|c<d>e]\n");
    addBatchRow("quoted program path", "@\"/usr/bin/printf\" \"[%%s]\\n\" x\n", "[x]\n");
    addBatchRow("program path with a blank", "@\"my tools/show\" a \"b c\"\n", "[a]\n[b c]\n");
    addBatchRow("launch line", "@set GREETING=hi\n@\"my tools/show\" -t a b -o \"out file\"\n",
                "[-t]\n[a]\n[b]\n[-o]\n[out file]\n");
}

void TestBatchRun::redirections_data()
{
    addBatchColumns();
    addBatchRow("write and append", "@echo one>o.txt\n@echo two>>o.txt\n@/bin/cat o.txt\n", "one\ntwo\n");
    addBatchRow("blank before the redirection stays", "@echo one >o.txt\n@/bin/cat o.txt\n", "one \n");
    addBatchRow("write truncates", "@echo long line>o.txt\n@echo s>o.txt\n@/bin/cat o.txt\n", "s\n");
    addBatchRow("input", "@echo data>in.txt\n@/bin/cat <in.txt\n", "data\n");
    addBatchRow("errors to a file", "@nosuch 2>e.txt\n@/bin/cat e.txt\n", "'nosuch" + notRecognized);
    addBatchRow("errors with output", "@/bin/sh -c \"echo out; echo err >&2\" >both.txt 2>&1\n@/bin/cat both.txt\n",
                "out\nerr\n");
    addBatchRow("nul in any case", "@echo hidden>nul\n@echo hidden >NUL\n@nosuch 2>Nul\n@echo shown\n", "shown\n", "",
                notFoundStatus);
    addBatchRow("one command only", "@echo a>o.txt & echo b\n@/bin/cat o.txt\n", "b\na \n");
    addBatchRow("digit inside a word", "@echo a2>o.txt\n@/bin/cat o.txt\n", "a2\n");
    addBatchRow("handle after a blank", "@echo 1>o.txt\n@/bin/cat o.txt\n", "ECHO is on.\n");
    addBatchRow("redirection first", "@>o.txt echo x\n@/bin/cat o.txt\n", "x\n");
    addBatchRow("quoted file name", "@echo x>\"o u t.txt\"\n@/bin/cat \"o u t.txt\"\n", "x\n");
    addBatchRow("missing input", "@/bin/cat <missing.txt\n", "", "The system cannot find the file specified.\n", 1);
    addBatchRow("missing folder", "@echo x>no/such/o.txt\n", "", pathError, 1);
    addBatchRow("bad handle", "@echo x 1>&7\n", "",
                "The handle could not be duplicated during redirection of handle 1.\n", 1);
    addBatchRow("block", "@(echo a & echo b)>o.txt\n@/bin/cat o.txt\n", "a \nb\n");
    addBatchRow("output restored", "@echo a>o.txt\n@echo b\n", "b\n");
    addBatchRow("program to program", "@printf \"b\\na\\n\" | /usr/bin/sort\n", "a\nb\n");
    addBatchRow("built-in to program", "@echo hello| /usr/bin/tr a-z A-Z\n", "HELLO\n");
    addBatchRow("program to built-in", "@/bin/echo line | pause\n", "Press any key to continue . . . \n");
    addBatchRow("three stages", "@echo b a c| /usr/bin/tr \" \" \"\\n\" | /usr/bin/sort\n", "a\nb\nc\n");
    addBatchRow("block into a pipe", "@(echo 2& echo 1) | /usr/bin/sort\n", "1\n2\n");
    addBatchRow("pipe error level is the last", "@/bin/true | /bin/false\n@echo %ERRORLEVEL%\n", "1\n", "", 1);
    addBatchRow("reader that leaves early", "@/usr/bin/yes | /usr/bin/head -n 1\n@echo done\n", "y\ndone\n");
    addBatchRow("pipe without command", "@echo a |\n@echo next line\n", "next line\n", syntaxError, 255);
    // A redirection may stand before a block and applies to all of it.
    addBatchRow("redirection before a block", "@>log.txt (\necho a\necho b\n)\n@type log.txt\n", "a\nb\n");
    addBatchRow("error redirection before a block", "@2>nul (\nnosuch\n)\n@echo %ERRORLEVEL%\n", "9009\n", "",
                notFoundStatus);
}

void TestBatchRun::flow_data()
{
    addBatchColumns();
    addBatchRow("goto skips", "@goto end\n@echo skipped\n:end\n@echo end\n", "end\n");
    addBatchRow("goto backwards in any case",
                "@goto :Second\n:first\n@echo first\n@goto :eof\n:SECOND\n@echo second\n"
                "@goto first\n",
                "second\nfirst\n");
    addBatchRow("goto end of file", "@echo a\n@goto :eof\n@echo b\n", "a\n");
    addBatchRow("missing label ends the batch", "@echo a\n@goto nowhere\n@echo b\n", "a\n",
                "The system cannot find the batch label specified - nowhere\n", 1);
    addBatchRow("goto leaves the rest of the line", "@goto l & echo no\n:l\n@echo yes\n", "yes\n");
    addBatchRow("goto out of a block", "@(\ngoto l\necho no\n)\n:l\n@echo yes\n", "yes\n");
    addBatchRow("subroutine", "@call :sub x\n@echo back %ERRORLEVEL%\n@goto :eof\n:sub\n@echo in %1\n@exit /b 3\n",
                "in x\nback 3\n", "", 3);
    addBatchRow("call of a missing label", "@call :nowhere\n@echo next %ERRORLEVEL%\n", "next 1\n",
                "The system cannot find the batch label specified - nowhere\n", 1);
    addBatchRow("exit /b ends the batch", "@echo a\n@exit /b 2\n@echo b\n", "a\n", "", 2);
    addBatchRow("exit /b keeps the error level", "@/bin/sh -c \"exit 4\"\n@exit /b\n", "", "", 4);
    addBatchRow("call another batch", "@echo @echo in other %%1 %%~nx0>other.bat\n@call other.bat arg\n@echo back\n",
                "in other arg other.bat\nback\n");
    addBatchRow("another batch without call", "@echo @echo in other>other.bat\n@other.bat\n@echo not reached\n",
                "in other\n");
    addBatchRow("call a program", "@call /bin/echo hi\n", "hi\n");
    addBatchRow("start and wait in a folder",
                "@start /wait /d sub /b /bin/sh -c \"pwd >where.txt; exit 3\"\n@echo %ERRORLEVEL%\n"
                "@/bin/cat sub/where.txt\n",
                "3\n<dir>/sub\n");
    addBatchRow("start a batch file",
                "@echo @echo in batch^>started.txt>s.bat\n@start /wait s.bat\n@/bin/cat started.txt\n", "in batch\n");
    addBatchRow("start a missing program", "@start \"\" nosuch\n", "", "The system cannot find the file nosuch.\n",
                exitStatus(9059));
    // start /? : the title is the first quoted word, switches may come first.
    addBatchRow("start with switches before the title",
                "@start /wait \"\" /bin/sh -c \"exit 4\"\n@echo %ERRORLEVEL%\n"
                "@start /min /b /wait \"t\" /bin/sh -c \"exit 5\"\n@echo %ERRORLEVEL%\n",
                "4\n5\n", "", 5);
    // A name without an extension is tried with those of PATHEXT, in the
    // current folder before PATH.
    addBatchRow("call without the extension", "@echo @echo helper %%1>helper.bat\n@call helper x\n@echo back\n",
                "helper x\nback\n");
    addBatchRow("batch file without the extension", "@echo @echo helper>helper.cmd\n@helper\n@echo not reached\n",
                "helper\n");
    addBatchRow("current folder before PATH", "@echo @echo mine>true.bat\n@call true\n", "mine\n");
    // Only "goto :eof" with its colon ends the batch file.
    addBatchRow("goto eof without a colon", "@goto eof\n@echo skipped\n:eof\n@echo label\n", "label\n");
    addBatchRow("goto eof without such a label", "@goto eof\n@echo skipped\n", "",
                "The system cannot find the batch label specified - eof\n", 1);
    addBatchRow("subroutine calling itself", ":again\n@call :again\n", "",
                "korvani-cmd: batch calls nested more than 256 deep; batch processing stopped\n", 1);
    addBatchRow("batch calling itself", "@call %0\n@echo not reached\n", "",
                "korvani-cmd: batch calls nested more than 256 deep; batch processing stopped\n", 1);
    addBatchRow("line continuation", "@echo a^\nb\n", "ab\n");
    addBatchRow("block over lines", "@(\necho a\n\n  echo b\n)\n", "a\nb\n");
    addBatchRow("unclosed block", "@echo before\n@(\necho a\n", "before\n",
                "korvani-cmd: a block opened with '(' is not closed\n", 255);
    // A line that cannot be read is reported and skipped; the rest runs, so
    // that a launch still starts its program.
    addBatchRow("unexpected operator", "@& echo x\n@echo y\n", "y\n", "& was unexpected at this time.\n", 255);
    addBatchRow("syntax error skips its line", "@echo before\n@echo a && \n@echo after\n", "before\nafter\n",
                syntaxError, 255);
}

void TestBatchRun::conditions_data()
{
    addBatchColumns();
    addBatchRow("equal", "@if a==a echo yes\n@if a==b echo no\n", "yes\n");
    addBatchRow("not", "@if not a==b echo yes\n", "yes\n");
    addBatchRow("quotes are compared", "@if \"a\"==a (echo same) else (echo differ)\n", "differ\n");
    addBatchRow("case", "@if A==a (echo same) else (echo differ)\n@if /i A==a echo same\n", "differ\nsame\n");
    addBatchRow("blanks around the operator", "@if a == a echo yes\n", "yes\n");
    addBatchRow("quoted values with blanks", "@set V=x y\n@if \"%V%\"==\"x y\" echo yes\n", "yes\n");
    addBatchRow("exist",
                "@if exist run.bat echo yes\n@if not exist none.txt echo no\n@if exist \"my tools\" echo dir\n",
                "yes\nno\ndir\n");
    addBatchRow("exist with wildcards", "@if exist *.bat echo found\n@if exist *.none echo never\n", "found\n");
    addBatchRow("errorlevel",
                "@/bin/sh -c \"exit 3\"\n@if errorlevel 3 echo ge3\n@if errorlevel 4 echo ge4\n"
                "@if not errorlevel 4 echo lt4\n",
                "ge3\nlt4\n", "", 3);
    addBatchRow("defined", "@set D=1\n@if defined D echo d\n@if not defined E echo e\n", "d\ne\n");
    addBatchRow("numbers and words",
                "@if 10 GTR 9 echo num\n@if 10 lss 9 (echo no) else echo yes\n@if a LSS b echo str\n",
                "num\nyes\nstr\n");
    addBatchRow("body is the rest of the line", "@if a==b echo one & echo two\n@echo three\n", "three\n");
    addBatchRow("else", "@if a==b (echo one) else (echo two)\n", "two\n");
    addBatchRow("else if", "@if a==b (echo 1) else if a==a (echo 2) else (echo 3)\n", "2\n");
    addBatchRow("over lines", "@if exist run.bat (\n  echo yes\n  echo more\n) else (\n  echo no\n)\n@echo done\n",
                "yes\nmore\ndone\n");
    addBatchRow("nested", "@if a==a if b==c (echo x) else (echo y)\n", "y\n");
    addBatchRow("block expanded before it runs", "@set V=1\n@(\nset V=2\necho %V%\n)\n", "1\n");
    addBatchRow("errorlevel not a number", "@if errorlevel x echo y\n@echo next\n", "next\n", syntaxError, 255);
    addBatchRow("no command", "@if a==a\n", "", syntaxError, 255);
    // "=" separates like a blank after errorlevel.
    addBatchRow("errorlevel with an equal sign",
                "@/bin/sh -c \"exit 3\"\n@if errorlevel == 3 echo ge3\n@if errorlevel == 4 echo ge4\n@echo go on\n",
                "ge3\ngo on\n", "", 3);
    // LSS and the others compare strings as Windows sorts words: symbols
    // before digits before letters, case only to break ties, lowercase first.
    addBatchRow(
        "strings in word order",
        "@if a LSS B echo a-B\n@if B LSS a (echo no) else echo B-a\n@if a LSS A echo a-A\n@if /i a LSS A (echo no)"
        " else echo i-a-A\n@if _x LSS 1 echo _-1\n@if 9 LSS a echo 9-a\n@if 10 LSS 9 (echo no) else echo 10-9\n",
        "a-B\nB-a\na-A\ni-a-A\n_-1\n9-a\n10-9\n");
    // Numbers beyond 32 bits count as the largest ones that fit.
    addBatchRow("numbers held to 32 bits",
                "@if 3000000000 EQU 2147483647 echo high\n@if -3000000000 EQU -2147483648 echo low\n"
                "@if 99999999999999999999 EQU 2147483647 echo huge\n",
                "high\nlow\nhuge\n");
}

void TestBatchRun::directories_data()
{
    addBatchColumns();
    addBatchRow("prompt follows cd", "cd sub\necho %CD%\n",
                "\n<dir>>cd sub \n\n<dir>/sub>echo <dir>/sub \n<dir>/sub\n");
    addBatchRow("bare cd", "@cd\n", "<dir>\n");
    addBatchRow("cd /d and quotes", "@cd /d \"my tools\"\n@cd\n", "<dir>/my tools\n");
    addBatchRow("unquoted blanks", "@chdir my tools\n@cd\n", "<dir>/my tools\n");
    addBatchRow("cd dot dot", "@cd sub\n@cd..\n@cd\n", "<dir>\n");
    addBatchRow("missing folder", "@cd nowhere\n@echo %ERRORLEVEL% %CD%\n", "1 <dir>\n", pathError, 1);
    addBatchRow("not a folder", "@cd run.bat\n", "", "The directory name is invalid.\n", 1);
    addBatchRow("programs run there", "@cd sub\n@/bin/pwd\n", "<dir>/sub\n");
    addBatchRow("pushd and popd", "@pushd sub\n@cd\n@popd\n@cd\n", "<dir>/sub\n<dir>\n");
    // cd clears the error level when it succeeds, also when it only shows the folder.
    addBatchRow("pushd to a missing folder", "@pushd nowhere\n@cd\n", "<dir>\n", pathError, 0);
    addBatchRow("popd with nothing pushed", "@popd\n@cd\n", "<dir>\n");
    addBatchRow("pushd lists", "@pushd sub\n@pushd ..\n@pushd\n", "<dir>/sub\n<dir>\n");
    addBatchRow("endlocal goes back", "@setlocal\n@cd sub\n@endlocal\n@cd\n", "<dir>\n");
}

void TestBatchRun::input_data()
{
    addBatchColumns();
    addBatchRow("pause reads one line", "@pause\n@/bin/cat\n", "Press any key to continue . . . \nsecond\n", "", 0,
                "first\nsecond\n");
    addBatchRow("pause at end of input", "@pause\n@echo after\n", "Press any key to continue . . . \nafter\n");
    addBatchRow("pause echoed", "pause\n", "\n<dir>>pause \nPress any key to continue . . . \n", "", 0, "\n");
    addBatchRow("set /p", "@set /p V=Name? \n@echo [%V%]\n", "Name? [Ann]\n", "", 0, "Ann\r\nrest\n");
    addBatchRow("set /p at end of input", "@set V=old\n@set /p V=Name? \n@echo [%V%] %ERRORLEVEL%\n", "Name? [old] 1\n",
                "", 1);
    // A quoted prompt loses its quotes; with no name set /p only prints.
    addBatchRow("set /p quoted prompt", "@set /p V=\"Name: \"\n@echo [%V%]\n", "Name: [Ann]\n", "", 0, "Ann\n");
    addBatchRow("set /p without a line end", "@<nul set /p \"=text\"\n@echo  more\n", "text more\n", "", 1);
}

void TestBatchRun::unsupported_data()
{
    addBatchColumns();
    addBatchRow("cmd commands", "@vol\n@DATE /t\n@echo after\n", "after\n",
                "korvani-cmd: 'vol' is not supported\nkorvani-cmd: 'date' is not supported\n", 1);
    addBatchRow("full dir listing", "@dir\n", "", "korvani-cmd: 'dir without /b' is not supported\n", 1);
    addBatchRow("start without a program", "@start \"title\"\n", "",
                "korvani-cmd: 'start without a program' is not supported\n", 1);
}

QTEST_GUILESS_MAIN(TestBatchRun)
#include "TestBatchRun.moc"
