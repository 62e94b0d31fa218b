#ifndef KORVANI_INTERPRETER_ENVIRONMENT_H
#define KORVANI_INTERPRETER_ENVIRONMENT_H

#include <string>
#include <string_view>
#include <vector>

namespace Cmd {

// Environment variables with Windows name matching: a name is found by its
// exact spelling first, then in any case, and keeps its first spelling when
// it is set again in another case.
class Environment
{
public:
    struct Variable
    {
        std::string name;
        std::string value;
        // false for a variable that batch files see but programs do not get,
        // until a batch file sets it
        bool exported = true;
    };
    using Variables = std::vector<Variable>;

    explicit Environment(char *const *variables);

    const std::string *find(std::string_view name) const;
    // An empty value removes the variable.
    void set(std::string_view name, std::string_view value);
    // Defines a variable that programs do not get, unless it is defined already.
    void setDefault(std::string_view name, std::string_view value);

    // Sorted by name, in any case, as "set" lists them.
    std::vector<const Variable *> sorted() const;

    Variables snapshot() const { return m_variables; }
    void restore(Variables variables);

    // NAME=VALUE strings for a program's environment, kept until the next
    // change: the exported variables, with PATH as programSearchPath gives it.
    char *const *block();

private:
    const Variable *lookup(std::string_view name) const;

    Variables m_variables;
    std::vector<std::string> m_blockStrings;
    std::vector<char *> m_block;
    bool m_blockValid = false;
};

} // namespace Cmd

#endif
