#ifndef KORVANI_JSONVALUECHECK_H
#define KORVANI_JSONVALUECHECK_H

#include <simdjson.h>

#include <string_view>

// Arrays and objects nest at most this deep, as the toolkit's own JSON parser
// has it; deeper files are not JSON lists of entries.
constexpr int maxJsonDepth = 1024;

// Walks a value that is not taken all the same: the parser checks only what it
// is asked for, and the file must be valid JSON throughout. depth is the
// nesting of the value itself.
simdjson::error_code checkJsonValue(simdjson::ondemand::value value, int depth);

// Walks a value as checkJsonValue does, and gives its JSON text exactly as
// written, without the blanks after it. The text lies in the document.
simdjson::error_code readJsonText(simdjson::ondemand::value value, int depth, std::string_view *text);

// Whether a number value's text, as written in the document, is a JSON
// number. JSON sets its numbers no bounds: 1e400 is one, which the parser's
// own numbers, doubles and 64-bit integers, cannot hold.
bool isJsonNumber(simdjson::ondemand::value &value);

// The exact value of a JSON number's text when it is a whole number within the
// range of int (2.5e1 and -0.0 are; 1e-400 and 2147483648 are not). Its digits
// are taken as written, never rounded to a double first.
bool jsonWholeNumber(simdjson::ondemand::value &value, int *number);

#endif
