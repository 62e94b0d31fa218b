// The conditions of if.
#include "condition.h"

#include "context.h"
#include "paths.h"
#include "text.h"

namespace Cmd {

namespace {

// Hyphens and apostrophes weigh nothing at first, so that "coop" and "co-op"
// sort together.
bool ignoredAtFirst(char c)
{
    return c == '-' || c == '\'';
}

// Symbols before digits before letters, letters in any case.
int primaryWeight(char c)
{
    const unsigned char byte = static_cast<unsigned char>(toLower(c));
    int group = 0;
    if (byte >= 0x80)
        group = 3;
    else if (isDigit(char(byte)))
        group = 1;
    else if (byte >= 'a' && byte <= 'z')
        group = 2;
    return group << 8 | byte;
}

// String comparisons follow the word sort of Windows' CompareString, which
// cmd uses for LSS, GTR and the others: symbols come before digits and
// digits before letters, case counts only between strings that are
// otherwise equal (lowercase first), and hyphens and apostrophes count last.
int collate(std::string_view a, std::string_view b, bool ignoreCase)
{
    size_t i = 0;
    size_t j = 0;
    int caseOrder = 0;
    for (;;) {
        while (i < a.size() && ignoredAtFirst(a[i]))
            ++i;
        while (j < b.size() && ignoredAtFirst(b[j]))
            ++j;
        if (i == a.size() || j == b.size())
            break;
        const int x = primaryWeight(a[i]);
        const int y = primaryWeight(b[j]);
        if (x != y)
            return x < y ? -1 : 1;
        if (caseOrder == 0 && a[i] != b[j])
            caseOrder = a[i] > b[j] ? -1 : 1; // lowercase letters have the higher codes
        ++i;
        ++j;
    }
    if (i != a.size() || j != b.size())
        return i == a.size() ? -1 : 1;
    if (caseOrder != 0 && !ignoreCase)
        return caseOrder;
    const int order = ignoreCase ? compareIgnoreCase(a, b) : a.compare(b);
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

bool exists(std::string_view written)
{
    const std::string path = nativePath(removeQuotes(written));
    const PathParts parts = splitPath(path);
    // "folder\nul" exists when the folder does, an old way to test for one.
    if (equalsIgnoreCase(parts.name, "nul"))
        return isFolder(parts.folder.empty() ? std::string(".") : std::string(parts.folder));
    if (hasWildcards(parts.name))
        return !matchingEntries(std::string(parts.folder), parts.name, EntryKind::Any).empty();
    return pathExists(path);
}

} // namespace

std::optional<bool> testCondition(const Condition &condition, const Environment &environment, int errorLevel)
{
    const std::string &left = condition.left;
    const std::string &right = condition.right;
    bool result = false;
    switch (condition.kind) {
    case Condition::Kind::Exist:
        result = exists(left);
        break;
    case Condition::Kind::Defined:
        result = environment.find(left) != nullptr;
        break;
    case Condition::Kind::ErrorLevel: {
        // Observed: if errorlevel takes a whole decimal number ("01" is 1,
        // "-1" is -1); with "0x1" or "1a" neither if nor if not runs its
        // command.
        long long level = 0;
        if (!parseDecimal(left, &level))
            return std::nullopt;
        result = errorLevel >= level;
        break;
    }
    case Condition::Kind::Compare: {
        if (condition.op == Condition::Operator::Same) {
            result = condition.ignoreCase ? equalsIgnoreCase(left, right) : left == right;
            break;
        }
        long long a = 0;
        long long b = 0;
        int order = 0;
        // if /? compares numbers as numbers; observed: written in octal
        // ("010" is 8) and hexadecimal ("0x10") too, with a sign if any.
        if (parseInteger(left, &a) && parseInteger(right, &b))
            order = a < b ? -1 : (a > b ? 1 : 0);
        else
            order = collate(left, right, condition.ignoreCase);
        switch (condition.op) {
        case Condition::Operator::Same:
        case Condition::Operator::Equal:
            result = order == 0;
            break;
        case Condition::Operator::NotEqual:
            result = order != 0;
            break;
        case Condition::Operator::Less:
            result = order < 0;
            break;
        case Condition::Operator::LessOrEqual:
            result = order <= 0;
            break;
        case Condition::Operator::Greater:
            result = order > 0;
            break;
        case Condition::Operator::GreaterOrEqual:
            result = order >= 0;
            break;
        }
        break;
    }
    }
    return result != condition.negated;
}

// The operands take the loop variables and delayed expansion first.
std::optional<bool> evaluate(const Context &context, const Condition &condition)
{
    if (context.forVariables.empty() && !context.delayedExpansion)
        return testCondition(condition, context.environment, context.errorLevel);
    Condition prepared = condition;
    prepared.left = context.prepare(condition.left);
    prepared.right = context.prepare(condition.right);
    return testCondition(prepared, context.environment, context.errorLevel);
}

} // namespace Cmd
