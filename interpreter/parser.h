#ifndef KORVANI_INTERPRETER_PARSER_H
#define KORVANI_INTERPRETER_PARSER_H

#include "script.h"
#include "text.h"

// The reader of one command line, shared by parser.cpp (lists, pipes,
// blocks, commands and redirections) and keywordStatements.cpp (if and for).
namespace Cmd {

// Blocks and conditions nest by recursion; a bound keeps hostile input from
// exhausting the stack.
inline constexpr int maxNesting = 200;

inline constexpr const char *blockNotClosed = "korvani-cmd: a block opened with '(' is not closed";

std::unique_ptr<Node> makeNode(Node::Kind kind);

class Parser
{
public:
    Parser(std::string_view line, const MoreLines &moreLines)
        : m_text(line)
        , m_moreLines(moreLines)
    {
    }

    ParsedLine parse();

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek(size_t offset = 0) const { return m_pos + offset < m_text.size() ? m_text[m_pos + offset] : '\0'; }
    bool atListEnd() const { return atEnd() || peek() == '\n' || (m_depth > 0 && peek() == ')'); }
    bool atRedirection() const
    {
        return peek() == '<' || peek() == '>' || (isDigit(peek()) && (peek(1) == '<' || peek(1) == '>'));
    }
    bool atKeyword(std::string_view word) const;
    bool atLabelAfterRedirections();
    bool failed() const { return !m_error.empty(); }
    void fail(std::string message);
    void failUnexpected();
    bool fetchLine(bool newLine);
    void skipBlanks(bool acrossLines = false);
    void skipToLineEnd();
    // At the end of a line: moves to the start of the next; false at the end.
    bool continueLine();
    bool enter();

    std::unique_ptr<Node> parseList(bool allowElse, bool acrossLines);
    std::unique_ptr<Node> parsePipeline();
    std::unique_ptr<Node> parseCommand();
    std::unique_ptr<Node> parseCommandBody();
    std::unique_ptr<Node> parseBlock();
    std::unique_ptr<Node> parseIf();
    void parseCondition(Condition *condition);
    void parseComparison(Condition *condition);
    std::unique_ptr<Node> parseFor();
    bool parseBody(bool allowElse, Node *statement);
    std::unique_ptr<Node> parseSimple();
    void parseRedirection(std::vector<Redirection> *redirections);
    std::string readWord(bool stopAtEquals);
    std::string readForSet();

    std::string m_text;
    const MoreLines &m_moreLines;
    size_t m_pos = 0;
    int m_depth = 0;
    int m_nesting = 0;
    int m_pipeStages = 0;
    std::string m_error;
};

} // namespace Cmd

#endif
