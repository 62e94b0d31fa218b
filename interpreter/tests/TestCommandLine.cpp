#include "commandLine.h"
#include "script.h"

#include <QtTest>

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void splitArguments_data();
    void splitArguments();
    void splitBatchParameters_data();
    void splitBatchParameters();
    void splitLines_data();
    void splitLines();
    void parseLine_data();
    void parseLine();
    void parseErrors_data();
    void parseErrors();
    void blockReadsFollowingLines();
    void hostileInputIsBounded();
};

namespace {

QStringList toStringList(const std::vector<std::string> &words)
{
    QStringList list;
    for (const std::string &word : words)
        list.append(QString::fromStdString(word));
    return list;
}

// A compact picture of a parsed line: cmd[text]{redirections}, block(...),
// if[condition](then)(else), list(a, &&b, ||c), pipe(a | b).
QString describe(const Cmd::Node *node)
{
    if (!node)
        return QStringLiteral("-");
    QString text;
    QString redirections;
    for (const Cmd::Redirection &redirection : node->redirections) {
        static const char *const modes[] = {"<", ">", ">>"};
        redirections += QStringLiteral("{%1%2%3}")
                            .arg(redirection.handle)
                            .arg(QLatin1String(modes[int(redirection.mode)]))
                            .arg(redirection.duplicateOf >= 0 ? QStringLiteral("&%1").arg(redirection.duplicateOf)
                                                              : QString::fromStdString(redirection.target));
    }
    QStringList children;
    for (const auto &child : node->children) {
        static const char *const joints[] = {"", "&&", "||"};
        children.append(QLatin1String(joints[int(child->joint)]) + describe(child.get()));
    }
    switch (node->kind) {
    case Cmd::Node::Kind::Command:
        return QStringLiteral("cmd[%1]").arg(QString::fromStdString(node->text)) + redirections;
    case Cmd::Node::Kind::Block:
        return QStringLiteral("block(%1)").arg(children.join(QStringLiteral(", "))) + redirections;
    case Cmd::Node::Kind::List:
        return QStringLiteral("list(%1)").arg(children.join(QStringLiteral(", ")));
    case Cmd::Node::Kind::Pipe:
        return QStringLiteral("pipe(%1)").arg(children.join(QStringLiteral(" | ")));
    case Cmd::Node::Kind::For: {
        const Cmd::ForLoop &loop = node->loop;
        static const char *const modes[] = {"files", "folders", "numbers", "lines"};
        return QStringLiteral("for[%1%2 %3 %4 %5 %6](%7)")
                   .arg(QLatin1String(modes[int(loop.mode)]))
                   .arg(QLatin1String(loop.recursive ? " /r" : ""))
                   .arg(QString::fromStdString(loop.root))
                   .arg(QString::fromStdString(loop.options))
                   .arg(QLatin1Char(loop.variable))
                   .arg(QString::fromStdString(loop.set))
                   .arg(children.join(QStringLiteral(", ")))
            + redirections;
    }
    case Cmd::Node::Kind::If: {
        const Cmd::Condition &condition = node->condition;
        static const char *const kinds[] = {"compare", "exist", "errorlevel", "defined"};
        text = QStringLiteral("if[%1%2%3 %4 %5 %6]")
                   .arg(QLatin1String(condition.negated ? "not " : ""))
                   .arg(QLatin1String(condition.ignoreCase ? "/i " : ""))
                   .arg(QLatin1String(kinds[int(condition.kind)]))
                   .arg(QString::fromStdString(condition.left))
                   .arg(int(condition.op))
                   .arg(QString::fromStdString(condition.right));
        for (const QString &child : children)
            text += QLatin1Char('(') + child + QLatin1Char(')');
        return text;
    }
    }
    return text;
}

} // namespace

void TestCommandLine::splitArguments_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QStringList>("words");

    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("blanks only") << QByteArray(" \t ") << QStringList();
    QTest::newRow("blanks and tabs separate") << QByteArray(" a\tb  c ") << QStringList{"a", "b", "c"};
    QTest::newRow("quotes group and go") << QByteArray("\"a b\" c") << QStringList{"a b", "c"};
    QTest::newRow("quotes inside a word") << QByteArray("a\"b c\"d") << QStringList{"ab cd"};
    QTest::newRow("empty quotes are a word") << QByteArray("\"\" x \"\"") << QStringList{"", "x", ""};
    QTest::newRow("unclosed quote runs to the end") << QByteArray("\"a b") << QStringList{"a b"};
    QTest::newRow("backslash quote is a quote") << QByteArray("a\\\"b") << QStringList{"a\"b"};
    QTest::newRow("two backslashes then quote") << QByteArray("\"a\\\\\" b") << QStringList{"a\\", "b"};
    QTest::newRow("three backslashes then quote") << QByteArray("a\\\\\\\"b") << QStringList{"a\\\"b"};
    QTest::newRow("four backslashes then quote") << QByteArray("a\\\\\\\\\"b c\"") << QStringList{"a\\\\b c"};
    QTest::newRow("backslashes elsewhere") << QByteArray("a\\\\b\\c\\") << QStringList{"a\\\\b\\c\\"};
    QTest::newRow("doubled quote inside quotes") << QByteArray("\"a\"\"b\" c") << QStringList{"a\"b", "c"};
    QTest::newRow("doubled quote outside quotes") << QByteArray("a\"\"b") << QStringList{"ab"};
    QTest::newRow("single quotes are plain") << QByteArray("'a b'") << QStringList{"'a", "b'"};
    QTest::newRow("bytes beyond ASCII") << QByteArray("\xc3\xa9 \"\xe6\x97\xa5 x\"") << QStringList{"é", "日 x"};
}

void TestCommandLine::splitArguments()
{
    QFETCH(QByteArray, line);
    QFETCH(QStringList, words);

    QCOMPARE(toStringList(Cmd::splitArguments(line.toStdString())), words);
}

void TestCommandLine::splitBatchParameters_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QStringList>("parameters");

    QTest::newRow("blanks") << QByteArray("  a b ") << QStringList{"a", "b"};
    QTest::newRow("commas semicolons equals") << QByteArray("a,b;c=d") << QStringList{"a", "b", "c", "d"};
    QTest::newRow("quotes stay") << QByteArray("\"a b\" c") << QStringList{"\"a b\"", "c"};
    QTest::newRow("delimiters inside quotes") << QByteArray("\"a,b=c\"") << QStringList{"\"a,b=c\""};
}

void TestCommandLine::splitBatchParameters()
{
    QFETCH(QByteArray, text);
    QFETCH(QStringList, parameters);

    QCOMPARE(toStringList(Cmd::splitBatchParameters(text.toStdString())), parameters);
}

void TestCommandLine::splitLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << QByteArray() << QStringList();
    QTest::newRow("line feeds") << QByteArray("a\nb\n") << QStringList{"a", "b"};
    QTest::newRow("no final line feed") << QByteArray("a\nb") << QStringList{"a", "b"};
    QTest::newRow("carriage returns dropped") << QByteArray("a\r\nb\rc\r\n") << QStringList{"a", "bc"};
    QTest::newRow("blank lines kept") << QByteArray("\n\na") << QStringList{"", "", "a"};
    QTest::newRow("byte order mark ignored") << QByteArray("\xef\xbb\xbf@echo off\n") << QStringList{"@echo off"};
}

void TestCommandLine::splitLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);

    QCOMPARE(toStringList(Cmd::splitLines(std::string_view(bytes.constData(), size_t(bytes.size())))), lines);
}

void TestCommandLine::parseLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<bool>("quiet");

    QTest::newRow("blank") << QByteArray("  \t") << "-" << false;
    QTest::newRow("label") << QByteArray(" :name") << "-" << false;
    QTest::newRow("at sign") << QByteArray(" @ @set X=1") << "cmd[set X=1]" << true;
    QTest::newRow("operators") << QByteArray("a & b && c || d") << "list(cmd[a ], cmd[b ], &&cmd[c ], ||cmd[d])"
                               << false;
    QTest::newRow("trailing ampersand") << QByteArray("a &") << "cmd[a ]" << false;
    QTest::newRow("pipe binds tighter") << QByteArray("a|b && c") << "list(pipe(cmd[a] | cmd[b ]), &&cmd[c])" << false;
    QTest::newRow("quotes hide operators") << QByteArray("echo \"a&b|c>d\"") << "cmd[echo \"a&b|c>d\"]" << false;
    QTest::newRow("caret escapes") << QByteArray("echo a^&b ^\"c^^") << "cmd[echo a&b \"c^]" << false;
    QTest::newRow("redirections leave their blanks") << QByteArray("echo a >out b 2>>\"e f\" <in 2>&1")
                                                     << "cmd[echo a  b   ]{1>out}{2>>\"e f\"}{0<in}{2>&1}" << false;
    QTest::newRow("digit inside a word is text") << QByteArray("echo a2>x") << "cmd[echo a2]{1>x}" << false;
    QTest::newRow("redirection first") << QByteArray(">x echo") << "cmd[echo]{1>x}" << false;
    QTest::newRow("block with redirection") << QByteArray("(a & b) >o") << "block(list(cmd[a ], cmd[b])){1>o}" << false;
    QTest::newRow("redirections before a block")
        << QByteArray(">o 2>nul (a) 2>>e") << "block(cmd[a]){1>o}{2>nul}{2>>e}" << false;
    QTest::newRow("delimiters before a command") << QByteArray(",;= a & ;b") << "list(cmd[a ], cmd[b])" << false;
    QTest::newRow("parenthesis outside a block is text") << QByteArray("echo (a)") << "cmd[echo (a)]" << false;
    QTest::newRow("if takes the rest of the line")
        << QByteArray("if a==b x & y") << "if[compare a 0 b](list(cmd[x ], cmd[y]))" << false;
    QTest::newRow("if with spaced operator and quotes")
        << QByteArray("if /i not \"a b\" == c x") << "if[not /i compare \"a b\" 0 c](cmd[x])" << false;
    QTest::newRow("if comparison word") << QByteArray("if 1 GEQ 2 x") << "if[compare 1 6 2](cmd[x])" << false;
    QTest::newRow("if exist") << QByteArray("if exist \"a b\" x") << "if[exist \"a b\" 0 ](cmd[x])" << false;
    QTest::newRow("if errorlevel") << QByteArray("if not errorlevel 2 x") << "if[not errorlevel 2 0 ](cmd[x])" << false;
    QTest::newRow("if defined") << QByteArray("if defined V x") << "if[defined V 0 ](cmd[x])" << false;
    QTest::newRow("else after a block") << QByteArray("if a==b (x) else (y)")
                                        << "if[compare a 0 b](block(cmd[x]))(block(cmd[y]))" << false;
    QTest::newRow("else chain") << QByteArray("if a==b (x) else if c==d (y) else z")
                                << "if[compare a 0 b](block(cmd[x]))(if[compare c 0 d](block(cmd[y]))(cmd[z]))"
                                << false;
    QTest::newRow("else without block is text")
        << QByteArray("if a==b x else y") << "if[compare a 0 b](cmd[x else y])" << false;
    QTest::newRow("rem ignores operators") << QByteArray("rem a & b | c") << "cmd[rem a & b | c]" << false;
    QTest::newRow("for with its body") << QByteArray("for %i in (a b) do (echo %i) & echo x")
                                       << "for[files   i a b](list(block(cmd[echo %i]), cmd[echo x]))" << false;
    QTest::newRow("for switches") << QByteArray("FOR /D /R \"my dir\" %d IN (*) DO x")
                                  << "for[folders /r \"my dir\"  d *](cmd[x])" << false;
    QTest::newRow("for /f options and carets") << QByteArray("for /f \"tokens=1* delims=,\" %a in ('dir ^| sort') do x")
                                               << "for[lines  tokens=1* delims=, a 'dir | sort'](cmd[x])" << false;
    QTest::newRow("for /l") << QByteArray("for /l %n in (1,1,3) do x") << "for[numbers   n 1,1,3](cmd[x])" << false;
    QTest::newRow("if errorlevel with equal signs")
        << QByteArray("if errorlevel == 3 x") << "if[errorlevel 3 0 ](cmd[x])" << false;
}

void TestCommandLine::parseLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, tree);
    QFETCH(bool, quiet);

    const Cmd::ParsedLine parsed = Cmd::parseLine(line.toStdString());
    QCOMPARE(QString::fromStdString(parsed.error), QString());
    QCOMPARE(describe(parsed.node.get()), tree);
    QCOMPARE(parsed.quiet, quiet);
}

void TestCommandLine::parseErrors_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("error");

    const QString syntax = QStringLiteral("The syntax of the command is incorrect.");
    QTest::newRow("leading ampersand") << QByteArray("& a") << "& was unexpected at this time.";
    QTest::newRow("leading or") << QByteArray("|| a") << "|| was unexpected at this time.";
    QTest::newRow("double ampersand") << QByteArray("a & & b") << "& was unexpected at this time.";
    QTest::newRow("trailing and") << QByteArray("a &&") << syntax;
    QTest::newRow("trailing pipe") << QByteArray("a |") << syntax;
    QTest::newRow("redirection without file") << QByteArray("echo >") << syntax;
    QTest::newRow("duplicate without handle") << QByteArray("echo >&x") << syntax;
    QTest::newRow("if without command") << QByteArray("if a==a") << syntax;
    QTest::newRow("if without operator") << QByteArray("if a b c") << syntax;
    QTest::newRow("if errorlevel not a number") << QByteArray("if errorlevel x y") << syntax;
    QTest::newRow("word after block") << QByteArray("(a) b") << "b was unexpected at this time.";
    QTest::newRow("dangling else") << QByteArray("(a) else (b)") << "else was unexpected at this time.";
    QTest::newRow("unclosed block") << QByteArray("(a") << "korvani-cmd: a block opened with '(' is not closed";
    QTest::newRow("for without in") << QByteArray("for %a (x) do y") << "(x) was unexpected at this time.";
    QTest::newRow("for without variable") << QByteArray("for a in (x) do y") << "a was unexpected at this time.";
    QTest::newRow("for without do") << QByteArray("for %a in (x) y") << "y was unexpected at this time.";
    QTest::newRow("for without body") << QByteArray("for %a in (x) do") << syntax;
    QTest::newRow("for set not closed") << QByteArray("for %a in (x")
                                        << "korvani-cmd: a block opened with '(' is not closed";
}

void TestCommandLine::parseErrors()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, error);

    const Cmd::ParsedLine parsed = Cmd::parseLine(line.toStdString());
    QCOMPARE(QString::fromStdString(parsed.error), error);
    QVERIFY(!parsed.node);
}

void TestCommandLine::blockReadsFollowingLines()
{
    const std::vector<Cmd::ParsedLine> lines = Cmd::parseScript("@if a==a (\r\n  echo 1\n:: note\n) else (\n"
                                                                "echo 2\n)\necho ^\ncontinued\n:label\n");
    QCOMPARE(int(lines.size()), 2);
    QCOMPARE(describe(lines[0].node.get()),
             QStringLiteral("if[compare a 0 a](block(list(cmd[echo 1], cmd[])))(block(cmd[echo 2]))"));
    QVERIFY(lines[0].quiet);
    QCOMPARE(describe(lines[1].node.get()), QStringLiteral("cmd[echo continued]"));
    QCOMPARE(Cmd::echoText(*lines[1].node), std::string("echo continued "));

    const std::vector<Cmd::ParsedLine> loop = Cmd::parseScript("for %a in (\n a\n b\n) do (\n echo %a\n)\nx\n");
    QCOMPARE(int(loop.size()), 2);
    QCOMPARE(describe(loop[0].node.get()), QStringLiteral("for[files   a   a  b ](block(cmd[echo %a]))"));
}

void TestCommandLine::hostileInputIsBounded()
{
    const std::vector<Cmd::ParsedLine> deep = Cmd::parseScript(std::string(100000, '('));
    QCOMPARE(int(deep.size()), 1);
    QCOMPARE(deep[0].error, std::string("korvani-cmd: blocks and conditions are nested too deeply"));

    std::string chain;
    for (int i = 0; i < 50000; ++i)
        chain += "a&";
    const Cmd::ParsedLine parsed = Cmd::parseLine(chain);
    QVERIFY(parsed.node);
    QCOMPARE(int(parsed.node->children.size()), 50000);

    std::string conditions;
    for (int i = 0; i < 1000; ++i)
        conditions += "if a==a ";
    QCOMPARE(Cmd::parseLine(conditions + "x").error, deep[0].error);

    // Each command of a pipe runs at once in a process of its own.
    std::string pipes = "a";
    for (int i = 1; i < 64; ++i)
        pipes += "|a";
    QCOMPARE(int(Cmd::parseLine(pipes).node->children.size()), 64);
    QCOMPARE(Cmd::parseLine(pipes + "|a").error,
             std::string("korvani-cmd: a line may join at most 64 commands with pipes"));
    QCOMPARE(Cmd::parseLine("a|a & " + pipes).error, Cmd::parseLine(pipes + "|a").error);
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "TestCommandLine.moc"
