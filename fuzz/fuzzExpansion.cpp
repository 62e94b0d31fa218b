// The interpreter's expansion of variables and parameters and its
// conditions, which reading a batch file alone does not reach: each line of
// the input is a set, set /a, shift or if, or else a text to expand, against
// variables and parameters that earlier lines may have changed.
#include "arithmetic.h"
#include "commandLine.h"
#include "condition.h"
#include "expansion.h"
#include "fuzzSupport.h"
#include "script.h"
#include "text.h"

#include <optional>
#include <string>
#include <string_view>

namespace {

bool startsWith(std::string_view text, std::string_view word)
{
    return text.size() >= word.size() && Cmd::equalsIgnoreCase(text.substr(0, word.size()), word);
}

void runSet(std::string_view arguments, Cmd::Environment &environment, Cmd::BatchVariables &variables)
{
    if (startsWith(arguments, "/a")) {
        const Cmd::ArithmeticResult result = Cmd::evaluateArithmetic(arguments.substr(2), variables);
        check(result.error.empty() == (result.errorLevel == 0), "an arithmetic error has its error level");
        return;
    }
    const Cmd::Assignment assignment = Cmd::splitAssignment(arguments);
    if (!assignment.hasEquals || assignment.name.empty())
        return;
    environment.set(assignment.name, assignment.value);
    const std::string *value = environment.find(assignment.name);
    check(assignment.value.empty() ? value == nullptr : value && *value == assignment.value,
          "a variable holds what set gave it");
}

void runShift(std::string_view arguments, Cmd::Parameters &parameters)
{
    const size_t before = parameters.values.size();
    const bool done = parameters.shift(arguments);
    check(parameters.values.size() <= before && parameters.values.size() + (done ? 1 : 0) >= before,
          "shift drops at most one parameter");
}

void runIf(std::string_view line, const Cmd::Environment &environment, int errorLevel)
{
    const Cmd::ParsedLine parsed = Cmd::parseLine(line);
    if (!parsed.node || parsed.node->kind != Cmd::Node::Kind::If)
        return;
    Cmd::Condition condition = parsed.node->condition;
    const std::optional<bool> verdict = Cmd::testCondition(condition, environment, errorLevel);
    condition.negated = !condition.negated;
    const std::optional<bool> turned = Cmd::testCondition(condition, environment, errorLevel);
    check(verdict.has_value() == turned.has_value() && (!verdict || *turned != *verdict),
          "not turns a condition around, or neither runs a command");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *const start[] = {const_cast<char *>("PATH=/usr/bin:/bin"), const_cast<char *>("V=abcdef"),
                           const_cast<char *>("Mixed=a-b-C"), nullptr};
    Cmd::Environment environment(start);
    const std::string directory = "/tmp";
    const int errorLevel = 3;
    const Cmd::VariableLookup lookup(environment, directory, errorLevel);
    Cmd::BatchVariables variables(lookup, environment);
    Cmd::Parameters parameters;
    parameters.values = {"run.bat", "\"a b\"", "sub\\x.txt", "sh", "-"};
    parameters.all = "\"a b\" sub\\x.txt sh -";
    parameters.scriptPath = "/tmp/run.bat";
    const std::vector<Cmd::ForVariable> loop = {{'f', "sub\\x.txt"}, {'n', "\"q r\""}};

    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    for (const std::string &line : Cmd::splitLines(bytes)) {
        std::string expanded;
        if (!Cmd::expandPercents(line, lookup, &parameters, &expanded)) {
            check(expanded.size() <= Cmd::maxLineLength, "an expansion stops at the longest line");
            continue;
        }
        check(expanded.size() <= Cmd::maxLineLength, "an expanded line fits");
        const std::string text = Cmd::expandDelayed(Cmd::substituteForVariables(expanded, loop, lookup), lookup);
        const std::string_view command = Cmd::trimLeft(text);
        if (startsWith(command, "set "))
            runSet(Cmd::trimLeft(command.substr(4)), environment, variables);
        else if (startsWith(command, "shift"))
            runShift(command.substr(5), parameters);
        else if (startsWith(command, "if "))
            runIf(command, environment, errorLevel);
        const std::string *value = environment.find("V");
        if (value && !command.empty()) {
            const std::string edited = Cmd::editValue(*value, command);
            if (command.front() == '~')
                check(value->find(edited) != std::string::npos, "a substring lies in its value");
        }
    }
    return 0;
}
