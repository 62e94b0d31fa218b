#ifndef KORVANI_INTERPRETER_CONDITION_H
#define KORVANI_INTERPRETER_CONDITION_H

#include "environment.h"
#include "script.h"

namespace Cmd {

// The verdict of an if condition whose operands are expanded already.
bool testCondition(const Condition &condition, const Environment &environment, int errorLevel);

class Context;

// The verdict of an if condition as the command runs.
bool evaluate(const Context &context, const Condition &condition);

} // namespace Cmd

#endif
