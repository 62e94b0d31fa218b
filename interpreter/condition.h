#ifndef KORVANI_INTERPRETER_CONDITION_H
#define KORVANI_INTERPRETER_CONDITION_H

#include "environment.h"
#include "script.h"

#include <optional>

namespace Cmd {

// The verdict of an if condition whose operands are expanded already; none
// when if refuses the condition and runs neither of its commands.
std::optional<bool> testCondition(const Condition &condition, const Environment &environment, int errorLevel);

class Context;

// The verdict of an if condition as the command runs.
std::optional<bool> evaluate(const Context &context, const Condition &condition);

} // namespace Cmd

#endif
