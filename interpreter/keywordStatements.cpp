// The statements that start with a keyword: if and for.
#include "parser.h"

#include "text.h"

namespace Cmd {

std::unique_ptr<Node> Parser::parseIf()
{
    if (!enter())
        return nullptr;
    m_pos += 2;
    skipBlanks();
    auto node = makeNode(Node::Kind::If);
    parseCondition(&node->condition);
    skipBlanks();
    if (node->condition.left.empty() || atListEnd())
        fail(syntaxError);
    if (failed())
        return nullptr;
    node->children.push_back(parseList(true, false));
    if (failed())
        return nullptr;
    if (atKeyword("else")) {
        m_pos += 4;
        if (!parseBody(true, node.get()))
            return nullptr;
    }
    --m_nesting;
    return node;
}

// The command after else or do, which must be there.
bool Parser::parseBody(bool allowElse, Node *statement)
{
    skipBlanks();
    if (atListEnd())
        fail(syntaxError);
    else
        statement->children.push_back(parseList(allowElse, false));
    return !failed();
}

// [/i] [not], then exist, defined or errorlevel with its operand, or two
// operands and a comparison.
void Parser::parseCondition(Condition *condition)
{
    if (atKeyword("/i")) {
        condition->ignoreCase = true;
        m_pos += 2;
        skipBlanks();
    }
    if (atKeyword("not")) {
        condition->negated = true;
        m_pos += 3;
        skipBlanks();
    }
    struct Keyword
    {
        const char *word;
        Condition::Kind kind;
    };
    static const Keyword keywords[] = {{"exist", Condition::Kind::Exist},
                                       {"defined", Condition::Kind::Defined},
                                       {"errorlevel", Condition::Kind::ErrorLevel}};
    for (const Keyword &keyword : keywords) {
        const std::string_view word = keyword.word;
        if (atKeyword(word) && !(peek(word.size()) == '=' && peek(word.size() + 1) == '=')) {
            condition->kind = keyword.kind;
            m_pos += word.size();
            // "if errorlevel == 3": "=" separates like a blank here.
            while (isDelimiter(peek()))
                ++m_pos;
            break;
        }
    }
    skipBlanks();
    condition->left = readWord(true);
    // An errorlevel operand that does not start with a number is a syntax
    // error, unless a loop variable or delayed expansion gives it later.
    if (condition->kind == Condition::Kind::Compare)
        parseComparison(condition);
    else if (condition->kind == Condition::Kind::ErrorLevel && !startsWithNumber(condition->left)
             && condition->left.find_first_of("%!") == std::string::npos)
        fail(syntaxError);
}

// "==" or one of the comparison words, and the right operand.
void Parser::parseComparison(Condition *condition)
{
    skipBlanks();
    if (peek() == '=' && peek(1) == '=') {
        m_pos += 2;
    } else {
        struct Comparison
        {
            const char *word;
            Condition::Operator op;
        };
        static const Comparison comparisons[] = {
            {"equ", Condition::Operator::Equal},   {"neq", Condition::Operator::NotEqual},
            {"lss", Condition::Operator::Less},    {"leq", Condition::Operator::LessOrEqual},
            {"gtr", Condition::Operator::Greater}, {"geq", Condition::Operator::GreaterOrEqual}};
        bool known = false;
        for (const Comparison &comparison : comparisons) {
            if (atKeyword(comparison.word)) {
                condition->op = comparison.op;
                m_pos += 3;
                known = true;
                break;
            }
        }
        if (!known)
            fail(syntaxError);
    }
    skipBlanks();
    condition->right = readWord(true);
    if (condition->right.empty())
        fail(syntaxError);
}

std::unique_ptr<Node> Parser::parseFor()
{
    if (!enter())
        return nullptr;
    m_pos += 3;
    auto node = makeNode(Node::Kind::For);
    ForLoop &loop = node->loop;
    for (;;) {
        skipBlanks();
        const char option = toLower(peek(1));
        if (peek() != '/' || std::string_view("dlfr").find(option) == std::string_view::npos
            || !(isBlank(peek(2)) || peek(2) == '%' || peek(2) == '"'))
            break;
        m_pos += 2;
        skipBlanks();
        if (option == 'd' && loop.mode == ForLoop::Mode::Files)
            loop.mode = ForLoop::Mode::Folders;
        else if (option == 'l')
            loop.mode = ForLoop::Mode::Numbers;
        else if (option == 'f')
            loop.mode = ForLoop::Mode::Lines;
        if (option == 'r')
            loop.recursive = true;
        if ((option == 'r' || option == 'f') && peek() != '%' && peek() != '/') {
            const std::string word = readWord(false);
            if (option == 'r')
                loop.root = word;
            else
                loop.options = stripSurroundingQuotes(word);
        }
    }
    if (peek() != '%' || m_pos + 1 >= m_text.size() || isBlank(peek(1)) || peek(1) == '\n') {
        failUnexpected();
        return nullptr;
    }
    loop.variable = peek(1);
    m_pos += 2;
    skipBlanks();
    if (!atKeyword("in")) {
        failUnexpected();
        return nullptr;
    }
    m_pos += 2;
    skipBlanks();
    if (peek() != '(') {
        failUnexpected();
        return nullptr;
    }
    ++m_pos;
    loop.set = readForSet();
    skipBlanks();
    if (failed())
        return nullptr;
    if (!atKeyword("do")) {
        failUnexpected();
        return nullptr;
    }
    m_pos += 2;
    if (!parseBody(false, node.get()))
        return nullptr;
    --m_nesting;
    return node;
}

// The set ends at the first ")" outside double quotes, on this line or a
// later one; carets escape as elsewhere.
std::string Parser::readForSet()
{
    std::string set;
    bool quoted = false;
    for (;;) {
        if (atEnd() && !fetchLine(true)) {
            fail(blockNotClosed);
            return set;
        }
        char c = peek();
        ++m_pos;
        if (c == '\n') {
            set += ' ';
            continue;
        }
        if (!quoted && c == ')')
            return set;
        if (!quoted && c == '^') {
            if (atEnd() || peek() == '\n')
                continue;
            c = peek();
            ++m_pos;
        } else if (c == '"') {
            quoted = !quoted;
        }
        set += c;
    }
}

} // namespace Cmd
