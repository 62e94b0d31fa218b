#include "environment.h"

#include "paths.h"
#include "text.h"

#include <algorithm>
#include <cstring>

namespace Cmd {

Environment::Environment(char *const *variables)
{
    for (; variables && *variables; ++variables) {
        const char *entry = *variables;
        const char *equals = std::strchr(entry, '=');
        if (equals && equals != entry)
            m_variables.push_back({std::string(entry, equals), std::string(equals + 1)});
    }
}

const Environment::Variable *Environment::lookup(std::string_view name) const
{
    for (const Variable &variable : m_variables) {
        if (variable.name == name)
            return &variable;
    }
    for (const Variable &variable : m_variables) {
        if (equalsIgnoreCase(variable.name, name))
            return &variable;
    }
    return nullptr;
}

const std::string *Environment::find(std::string_view name) const
{
    const Variable *variable = lookup(name);
    return variable ? &variable->value : nullptr;
}

void Environment::set(std::string_view name, std::string_view value)
{
    m_blockValid = false;
    const Variable *existing = lookup(name);
    if (!existing) {
        if (!value.empty())
            m_variables.push_back({std::string(name), std::string(value)});
        return;
    }
    const auto position = m_variables.begin() + (existing - m_variables.data());
    if (value.empty()) {
        m_variables.erase(position);
    } else {
        position->value = value;
        position->exported = true;
    }
}

void Environment::setDefault(std::string_view name, std::string_view value)
{
    if (!lookup(name)) {
        m_variables.push_back({std::string(name), std::string(value), false});
        m_blockValid = false;
    }
}

std::vector<const Environment::Variable *> Environment::sorted() const
{
    std::vector<const Variable *> list;
    list.reserve(m_variables.size());
    for (const Variable &variable : m_variables)
        list.push_back(&variable);
    std::sort(list.begin(), list.end(), [](const Variable *a, const Variable *b) {
        const int order = compareIgnoreCase(a->name, b->name);
        return order != 0 ? order < 0 : a->name < b->name;
    });
    return list;
}

void Environment::restore(Variables variables)
{
    m_variables = std::move(variables);
    m_blockValid = false;
}

char *const *Environment::block()
{
    if (!m_blockValid) {
        m_blockStrings.clear();
        m_block.clear();
        m_blockStrings.reserve(m_variables.size());
        for (const Variable &variable : m_variables) {
            if (!variable.exported)
                continue;
            const bool path = equalsIgnoreCase(variable.name, "PATH");
            m_blockStrings.push_back(variable.name + '=' + (path ? programSearchPath(variable.value) : variable.value));
        }
        for (std::string &entry : m_blockStrings)
            m_block.push_back(entry.data());
        m_block.push_back(nullptr);
        m_blockValid = true;
    }
    return m_block.data();
}

} // namespace Cmd
