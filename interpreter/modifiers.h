#ifndef KORVANI_INTERPRETER_MODIFIERS_H
#define KORVANI_INTERPRETER_MODIFIERS_H

#include "expansion.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace Cmd {

// The %~ modifiers (f d p n x s a t z, and $NAME: to search the folders of
// NAME) applied to a value; fullPath, if given, is the file the value names.
std::string modifyPath(std::string_view value, std::string_view modifiers, const std::string *searchVariable,
                       const VariableLookup &lookup, const std::string *fullPath = nullptr);

// The date and time as %DATE% and %TIME% and the %~t modifier show them.
std::string dateText(int64_t seconds);
std::string minuteText(int64_t seconds);

} // namespace Cmd

#endif
