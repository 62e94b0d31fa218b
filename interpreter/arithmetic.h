#ifndef KORVANI_INTERPRETER_ARITHMETIC_H
#define KORVANI_INTERPRETER_ARITHMETIC_H

#include "environment.h"
#include "expansion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The expressions of set /a: 32-bit signed integers that wrap around, with
// the operators, literals and messages that set /? describes.
namespace Cmd {

// The variables an expression reads (by name, without percent signs) and
// assigns.
class ArithmeticVariables
{
public:
    virtual ~ArithmeticVariables() = default;
    virtual std::optional<std::string> get(std::string_view name) const = 0;
    virtual void set(std::string_view name, const std::string &value) = 0;
};

// The variables of a running batch file: read through the lookup, with
// cmd's dynamic names, and written into the environment.
class BatchVariables : public ArithmeticVariables
{
public:
    BatchVariables(const VariableLookup &lookup, Environment &environment)
        : m_lookup(lookup)
        , m_environment(environment)
    {
    }
    std::optional<std::string> get(std::string_view name) const override { return m_lookup.find(name); }
    void set(std::string_view name, const std::string &value) override { m_environment.set(name, value); }

private:
    const VariableLookup &m_lookup;
    Environment &m_environment;
};

struct ArithmeticResult
{
    int32_t value = 0; // of the last expression after commas
    std::string error; // cmd's message; empty when it went well
    int errorLevel = 0;
};

ArithmeticResult evaluateArithmetic(std::string_view expression, ArithmeticVariables &variables);

} // namespace Cmd

#endif
