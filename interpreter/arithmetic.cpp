#include "arithmetic.h"

#include "text.h"

namespace Cmd {

namespace {

// set /a's messages and the error levels cmd leaves with them.
struct Failure
{
    const char *message;
    int errorLevel;
};
const Failure unbalanced{"Unbalanced parenthesis.", 1073750988};
const Failure missingOperand{"Missing operand.", 1073750989};
const Failure missingOperator{"Missing operator.", 1073750990};
const Failure invalidDigits{
    "Invalid number.  Numeric constants are either decimal (17), hexadecimal (0x11), or octal (021).", 1073750991};
const Failure tooLarge{"Invalid number.  Numbers are limited to 32-bits of precision.", 1073750992};
const Failure divideByZero{"Divide by zero error.", 1073750993};
const Failure nestedTooDeeply{"korvani-cmd: the expression is nested too deeply", 1};

// Deeper nesting than any expression needs would only use up the stack.
constexpr int maxNesting = 256;

enum class Op {
    None,
    Or,
    Xor,
    And,
    ShiftLeft,
    ShiftRight,
    Add,
    Subtract,
    Multiply,
    Divide,
    Remainder,
};

// The operators of one character, loosest first; the shifts (<< >>) bind
// between & and +.
struct BinaryOperator
{
    char symbol;
    Op op;
    int precedence;
};
constexpr BinaryOperator binaryOperators[] = {{'|', Op::Or, 1},     {'^', Op::Xor, 2},      {'&', Op::And, 3},
                                              {'+', Op::Add, 5},    {'-', Op::Subtract, 5}, {'*', Op::Multiply, 6},
                                              {'/', Op::Divide, 6}, {'%', Op::Remainder, 6}};

bool isOperatorCharacter(char c)
{
    return std::string_view("+-*/%&|^~!()<>=,").find(c) != std::string_view::npos;
}

bool isSpace(char c)
{
    return isBlank(c) || c == '\n' || c == '\r';
}

bool isNameCharacter(char c)
{
    return c != '\0' && !isSpace(c) && !isOperatorCharacter(c);
}

int digitValue(char c)
{
    if (isDigit(c))
        return c - '0';
    const char lower = toLower(c);
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : 99;
}

// Reads a literal at text's start the way set /a does: decimal, 0x hex or
// leading-0 octal. Decimal and octal must fit in 31 bits; hexadecimal may
// use the sign bit, and anything longer stays at all bits set.
struct Literal
{
    uint32_t value = 0;
    size_t length = 0;
    bool overflow = false;
};

Literal readLiteral(std::string_view text)
{
    Literal literal;
    uint64_t base = 10;
    size_t i = 0;
    if (text.size() > 1 && text[0] == '0' && toLower(text[1]) == 'x') {
        base = 16;
        i = 2;
    } else if (!text.empty() && text[0] == '0') {
        base = 8;
    }
    const size_t first = i;
    uint64_t value = 0;
    for (; i < text.size() && digitValue(text[i]) < int(base); ++i) {
        value = value * base + uint64_t(digitValue(text[i]));
        if (value > 0xFFFFFFFFu)
            value = 0xFFFFFFFFu;
    }
    if (base == 16 && i == first)
        i = 1; // "0x" with no digits: only the 0 is a number
    literal.overflow = base != 16 && value > 0x7FFFFFFFu;
    literal.value = uint32_t(value);
    literal.length = i;
    return literal;
}

class Evaluator
{
public:
    // Double quotes count for nothing, wherever they stand: "A""B" is AB.
    Evaluator(std::string_view text, ArithmeticVariables &variables)
        : m_expression(removeQuotes(text))
        , m_text(m_expression)
        , m_variables(variables)
    {
    }

    ArithmeticResult run()
    {
        ArithmeticResult result;
        const uint32_t value = parseComma();
        skipSpace();
        if (!m_failure && !atEnd())
            fail(peek() == ')' ? unbalanced : missingOperator);
        if (m_failure) {
            result.error = m_failure->message;
            result.errorLevel = m_failure->errorLevel;
        } else {
            result.value = int32_t(value);
        }
        return result;
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    char peek(size_t offset = 0) const { return m_pos + offset < m_text.size() ? m_text[m_pos + offset] : '\0'; }
    void skipSpace()
    {
        while (!atEnd() && isSpace(peek()))
            ++m_pos;
    }
    void fail(const Failure &failure)
    {
        if (!m_failure)
            m_failure = &failure;
    }
    // Parentheses and chained assignments nest by recursion.
    bool enter()
    {
        if (++m_nesting > maxNesting)
            fail(nestedTooDeeply);
        return !m_failure;
    }

    uint32_t parseComma()
    {
        uint32_t value = parseAssignment();
        for (;;) {
            skipSpace();
            if (m_failure || peek() != ',')
                return value;
            ++m_pos;
            value = parseAssignment();
        }
    }

    // NAME op= expression, right to left; anything else is a plain expression.
    uint32_t parseAssignment()
    {
        skipSpace();
        const size_t start = m_pos;
        if (isNameCharacter(peek()) && !isDigit(peek())) {
            while (isNameCharacter(peek()))
                ++m_pos;
            const std::string_view name = m_text.substr(start, m_pos - start);
            skipSpace();
            size_t length = 0;
            const Op op = assignmentOperator(&length);
            if (op != Op::None || peek() == '=') {
                m_pos += op == Op::None ? 1 : length;
                if (!enter())
                    return 0;
                const uint32_t right = parseAssignment();
                --m_nesting;
                if (m_failure)
                    return 0;
                const uint32_t value = op == Op::None ? right : apply(op, variable(name), right);
                if (!m_failure)
                    m_variables.set(name, std::to_string(int32_t(value)));
                return value;
            }
            m_pos = start;
        }
        return parseBinary(1);
    }

    // The operator of a compound assignment ahead and its length: "+=",
    // "<<=", and as cmd reads them also with blanks before the "=" ("x + = 6").
    Op assignmentOperator(size_t *length) const
    {
        const bool shift = (peek() == '<' || peek() == '>') && peek(1) == peek();
        const Op op = shift ? (peek() == '<' ? Op::ShiftLeft : Op::ShiftRight) : binaryOperator(peek());
        size_t at = shift ? 2 : 1;
        while (isSpace(peek(at)))
            ++at;
        *length = at + 1;
        return peek(at) == '=' ? op : Op::None;
    }

    static Op binaryOperator(char c)
    {
        for (const BinaryOperator &entry : binaryOperators) {
            if (entry.symbol == c)
                return entry.op;
        }
        return Op::None;
    }

    static int precedence(Op op)
    {
        if (op == Op::ShiftLeft || op == Op::ShiftRight)
            return 4;
        for (const BinaryOperator &entry : binaryOperators) {
            if (entry.op == op)
                return entry.precedence;
        }
        return 0;
    }

    // The binary operator ahead, if it is not the start of an assignment.
    Op nextOperator(size_t *length)
    {
        skipSpace();
        if ((peek() == '<' || peek() == '>') && peek(1) == peek()) {
            *length = 2;
            return peek(2) == '=' ? Op::None : (peek() == '<' ? Op::ShiftLeft : Op::ShiftRight);
        }
        *length = 1;
        return peek(1) == '=' ? Op::None : binaryOperator(peek());
    }

    uint32_t parseBinary(int minimum)
    {
        uint32_t left = parseUnary();
        for (;;) {
            if (m_failure)
                return 0;
            size_t length = 0;
            const Op op = nextOperator(&length);
            if (op == Op::None || precedence(op) < minimum)
                return left;
            m_pos += length;
            const uint32_t right = parseBinary(precedence(op) + 1);
            if (m_failure)
                return 0;
            left = apply(op, left, right);
        }
    }

    uint32_t parseUnary()
    {
        std::string operators;
        for (;;) {
            skipSpace();
            const char c = peek();
            if (c != '!' && c != '~' && c != '-' && c != '+')
                break;
            operators += c;
            ++m_pos;
        }
        uint32_t value = parsePrimary();
        for (auto it = operators.rbegin(); it != operators.rend(); ++it) {
            if (*it == '!')
                value = value == 0 ? 1 : 0;
            else if (*it == '~')
                value = ~value;
            else if (*it == '-')
                value = 0u - value;
        }
        return value;
    }

    uint32_t parsePrimary()
    {
        skipSpace();
        const char c = peek();
        if (c == '(') {
            if (!enter())
                return 0;
            ++m_pos;
            const uint32_t value = parseComma();
            skipSpace();
            if (!m_failure && peek() != ')')
                fail(unbalanced);
            ++m_pos;
            --m_nesting;
            return value;
        }
        if (isDigit(c)) {
            const Literal literal = readLiteral(m_text.substr(m_pos));
            m_pos += literal.length;
            if (isNameCharacter(peek()))
                fail(invalidDigits);
            else if (literal.overflow)
                fail(tooLarge);
            return literal.value;
        }
        if (isNameCharacter(c)) {
            const size_t start = m_pos;
            while (isNameCharacter(peek()))
                ++m_pos;
            return variable(m_text.substr(start, m_pos - start));
        }
        fail(c == ')' ? unbalanced : missingOperand);
        return 0;
    }

    // A variable's value read as a number as far as it is one; an undefined
    // or non-numeric variable counts as 0.
    uint32_t variable(std::string_view name) const
    {
        const std::optional<std::string> value = m_variables.get(name);
        if (!value)
            return 0;
        std::string_view text = trimLeft(*value);
        bool negative = false;
        if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
            negative = text.front() == '-';
            text.remove_prefix(1);
        }
        const uint32_t number = readLiteral(text).value;
        return negative ? 0u - number : number;
    }

    uint32_t apply(Op op, uint32_t left, uint32_t right)
    {
        const int32_t a = int32_t(left);
        const int32_t b = int32_t(right);
        switch (op) {
        case Op::Or:
            return left | right;
        case Op::Xor:
            return left ^ right;
        case Op::And:
            return left & right;
        // Shift counts are taken modulo 32, as the processor does.
        case Op::ShiftLeft:
            return left << (right & 31);
        case Op::ShiftRight:
            return uint32_t(a >> (right & 31));
        case Op::Add:
            return left + right;
        case Op::Subtract:
            return left - right;
        case Op::Multiply:
            return left * right;
        case Op::Divide:
        case Op::Remainder:
            if (b == 0) {
                fail(divideByZero);
                return 0;
            }
            if (a == INT32_MIN && b == -1)
                return op == Op::Divide ? left : 0;
            return uint32_t(op == Op::Divide ? a / b : a % b);
        case Op::None:
            break;
        }
        return right;
    }

    const std::string m_expression;
    std::string_view m_text;
    ArithmeticVariables &m_variables;
    size_t m_pos = 0;
    int m_nesting = 0;
    const Failure *m_failure = nullptr;
};

} // namespace

ArithmeticResult evaluateArithmetic(std::string_view expression, ArithmeticVariables &variables)
{
    return Evaluator(expression, variables).run();
}

} // namespace Cmd
