// The reader of one command line: lists, pipes, blocks, commands and
// redirections; if and for are in keywordStatements.cpp.
#include "parser.h"

#include "text.h"

namespace Cmd {

std::unique_ptr<Node> makeNode(Node::Kind kind)
{
    auto node = std::make_unique<Node>();
    node->kind = kind;
    return node;
}

ParsedLine Parser::parse()
{
    ParsedLine result;
    skipBlanks();
    while (peek() == '@') {
        result.quiet = true;
        ++m_pos;
        skipBlanks();
    }
    if (atEnd() || peek() == ':' || atLabelAfterRedirections())
        return result;
    auto node = parseList(false, false);
    if (!failed() && !atEnd())
        failUnexpected();
    if (failed()) {
        result.error = m_error;
        return result;
    }
    result.node = std::move(node);
    return result;
}

// Parser, phase 2: redirections are taken out of a line before its command
// is looked at, so a line whose command is a label after them is a label
// too, and its redirections are never opened: "<# : batch portion", the
// first line of Maven Wrapper's mvnw.cmd, is silent.
bool Parser::atLabelAfterRedirections()
{
    if (!atRedirection())
        return false;
    const size_t start = m_pos;
    std::vector<Redirection> ignored;
    while (atRedirection() && !failed()) {
        parseRedirection(&ignored);
        skipBlanks();
    }
    const bool label = !failed() && peek() == ':';
    m_pos = start;
    m_error.clear();
    return label;
}

bool Parser::atKeyword(std::string_view word) const
{
    const std::string_view text = std::string_view(m_text).substr(m_pos);
    if (text.size() < word.size() || !equalsIgnoreCase(text.substr(0, word.size()), word))
        return false;
    return m_pos + word.size() == m_text.size() || endsCommandName(m_text[m_pos + word.size()]);
}

void Parser::fail(std::string message)
{
    if (m_error.empty())
        m_error = std::move(message);
}

void Parser::failUnexpected()
{
    size_t end = m_pos;
    if (peek() == '&' || peek() == '|')
        end += peek(1) == peek() ? 2 : 1;
    else
        while (end < m_text.size() && !isBlank(m_text[end]) && m_text[end] != '\n')
            ++end;
    fail(unexpectedWord(std::string_view(m_text).substr(m_pos, end - m_pos)));
}

bool Parser::fetchLine(bool newLine)
{
    std::string line;
    if (!m_moreLines || !m_moreLines(line))
        return false;
    if (newLine)
        m_text += '\n';
    m_text += line;
    return true;
}

void Parser::skipBlanks(bool acrossLines)
{
    for (;;) {
        while (!atEnd() && (isBlank(peek()) || (acrossLines && peek() == '\n')))
            ++m_pos;
        if (!atEnd() || !acrossLines || m_depth == 0)
            return;
        if (!fetchLine(true)) {
            fail(blockNotClosed);
            return;
        }
    }
}

bool Parser::continueLine()
{
    if (peek() != '\n')
        return fetchLine(false);
    ++m_pos;
    return true;
}

void Parser::skipToLineEnd()
{
    while (!atEnd() && peek() != '\n')
        ++m_pos;
}

bool Parser::enter()
{
    if (++m_nesting > maxNesting)
        fail("korvani-cmd: blocks and conditions are nested too deeply");
    return !failed();
}

std::unique_ptr<Node> Parser::parseList(bool allowElse, bool acrossLines)
{
    auto list = makeNode(Node::Kind::List);
    Node::Joint joint = Node::Joint::Then;
    for (;;) {
        skipBlanks(acrossLines);
        if (failed())
            return nullptr;
        if (atListEnd())
            break;
        if (peek() == '&' || peek() == '|') {
            failUnexpected();
            return nullptr;
        }
        auto item = parsePipeline();
        if (failed())
            return nullptr;
        item->joint = joint;
        list->children.push_back(std::move(item));
        skipBlanks();
        joint = Node::Joint::Then;
        if ((peek() == '&' && peek(1) == '&') || (peek() == '|' && peek(1) == '|')) {
            joint = peek() == '&' ? Node::Joint::AndThen : Node::Joint::OrElse;
            m_pos += 2;
            skipBlanks();
            if (atListEnd()) {
                fail(syntaxError);
                return nullptr;
            }
        } else if (peek() == '&') {
            ++m_pos;
        } else if (acrossLines && (peek() == '\n' || atEnd())) {
            if (!atEnd())
                ++m_pos;
        } else if (atListEnd() || (allowElse && atKeyword("else"))) {
            break;
        } else {
            failUnexpected();
            return nullptr;
        }
    }
    if (list->children.size() == 1)
        return std::move(list->children.front());
    return list;
}

std::unique_ptr<Node> Parser::parsePipeline()
{
    auto first = parseCommand();
    skipBlanks();
    if (failed() || peek() != '|' || peek(1) == '|')
        return first;
    auto pipe = makeNode(Node::Kind::Pipe);
    pipe->children.push_back(std::move(first));
    ++m_pipeStages;
    while (!failed() && peek() == '|' && peek(1) != '|') {
        ++m_pos;
        skipBlanks();
        if (atListEnd() || peek() == '&' || peek() == '|') {
            fail(syntaxError);
            return nullptr;
        }
        if (++m_pipeStages > maxPipeStages) {
            fail("korvani-cmd: a line may join at most " + std::to_string(maxPipeStages) + " commands with pipes");
            return nullptr;
        }
        pipe->children.push_back(parseCommand());
        skipBlanks();
    }
    return pipe;
}

std::unique_ptr<Node> Parser::parseCommand()
{
    // Delimiters before a command are skipped, as is an "@".
    bool quiet = false;
    while (isDelimiter(peek()) || peek() == '@')
        quiet = m_text[m_pos++] == '@' || quiet;
    std::vector<Redirection> leading;
    while (atRedirection() && !failed()) {
        parseRedirection(&leading);
        skipBlanks();
    }
    if (failed())
        return nullptr;
    auto node = parseCommandBody();
    if (node && !leading.empty())
        node->redirections.insert(node->redirections.begin(), leading.begin(), leading.end());
    if (node)
        node->quiet = quiet;
    return node;
}

std::unique_ptr<Node> Parser::parseCommandBody()
{
    if (peek() == '(')
        return parseBlock();
    // A label inside a block, and a stray ")" outside one, are comments.
    if ((peek() == ':' && m_depth > 0) || (peek() == ')' && m_depth == 0)) {
        skipToLineEnd();
        return makeNode(Node::Kind::Command);
    }
    if (atKeyword("if"))
        return parseIf();
    if (atKeyword("for"))
        return parseFor();
    if (atKeyword("rem")) {
        auto node = makeNode(Node::Kind::Command);
        const size_t start = m_pos;
        skipToLineEnd();
        node->text = m_text.substr(start, m_pos - start);
        return node;
    }
    return parseSimple();
}

std::unique_ptr<Node> Parser::parseBlock()
{
    if (!enter())
        return nullptr;
    ++m_pos;
    ++m_depth;
    auto block = makeNode(Node::Kind::Block);
    auto body = parseList(false, true);
    if (failed())
        return nullptr;
    if (peek() != ')') {
        fail(syntaxError);
        return nullptr;
    }
    block->children.push_back(std::move(body));
    ++m_pos;
    --m_depth;
    for (;;) {
        skipBlanks();
        if (!atRedirection())
            break;
        parseRedirection(&block->redirections);
    }
    --m_nesting;
    return block;
}

std::unique_ptr<Node> Parser::parseSimple()
{
    auto node = makeNode(Node::Kind::Command);
    std::string &text = node->text;
    bool quoted = false;
    bool wordStart = true;
    while (!atEnd() && !failed()) {
        // A run of characters that mean nothing here goes in at once.
        size_t end = m_pos;
        bool start = wordStart;
        for (; !quoted && end < m_text.size(); ++end) {
            const char c = m_text[end];
            if (c == '\n' || c == '&' || c == '|' || c == ')' || c == '"' || c == '^' || c == '<' || c == '>'
                || (start && isDigit(c)))
                break;
            start = isBlank(c);
        }
        if (end > m_pos) {
            text.append(m_text, m_pos, end - m_pos);
            wordStart = start;
            m_pos = end;
            continue;
        }
        char c = peek();
        if (c == '\n')
            break;
        if (quoted) {
            quoted = c != '"';
        } else if (c == '&' || c == '|' || (c == ')' && m_depth > 0)) {
            break;
        } else if (c == '"') {
            quoted = true;
        } else if (c == '^') {
            ++m_pos;
            const bool lineEnd = atEnd() || peek() == '\n';
            if (lineEnd && !continueLine())
                break;
            // A caret at the end of a line escapes the first character of
            // the next; when that line is empty, its line feed, which stays
            // in the command, and the line after goes on with it.
            if (lineEnd && (atEnd() || peek() == '\n')) {
                text += '\n';
                wordStart = false;
                if (!continueLine())
                    break;
                continue;
            }
            c = peek();
        } else if (c == '<' || c == '>' || (wordStart && atRedirection())) {
            parseRedirection(&node->redirections);
            continue;
        }
        text += c;
        wordStart = isBlank(c);
        ++m_pos;
    }
    return node;
}

void Parser::parseRedirection(std::vector<Redirection> *redirections)
{
    Redirection redirection;
    if (isDigit(peek()))
        redirection.handle = peek() - '0';
    else
        redirection.handle = peek() == '<' ? 0 : 1;
    if (isDigit(peek()))
        ++m_pos;
    redirection.mode = peek() == '<' ? Redirection::Mode::Read : Redirection::Mode::Write;
    ++m_pos;
    if (redirection.mode == Redirection::Mode::Write && peek() == '>') {
        redirection.mode = Redirection::Mode::Append;
        ++m_pos;
    }
    if (peek() == '&') {
        ++m_pos;
        if (!isDigit(peek())) {
            fail(syntaxError);
            return;
        }
        redirection.duplicateOf = peek() - '0';
        ++m_pos;
    } else {
        skipBlanks();
        redirection.target = readWord(false);
        if (redirection.target.empty()) {
            fail(syntaxError);
            return;
        }
    }
    redirections->push_back(std::move(redirection));
}

std::string Parser::readWord(bool stopAtEquals)
{
    std::string word;
    bool quoted = false;
    while (!atEnd()) {
        char c = peek();
        if (c == '\n')
            break;
        if (!quoted) {
            if (isBlank(c) || c == '&' || c == '|' || c == '<' || c == '>' || (c == ')' && m_depth > 0)
                || (stopAtEquals && c == '=' && peek(1) == '='))
                break;
            if (c == '^') {
                ++m_pos;
                if (atEnd() || peek() == '\n')
                    break;
                c = peek();
            } else if (c == '"') {
                quoted = true;
            }
        } else if (c == '"') {
            quoted = false;
        }
        word += c;
        ++m_pos;
    }
    return word;
}

} // namespace Cmd
