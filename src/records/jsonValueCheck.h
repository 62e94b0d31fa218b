#ifndef KORVANI_JSONVALUECHECK_H
#define KORVANI_JSONVALUECHECK_H

#include <simdjson.h>

// Arrays and objects nest at most this deep, as the toolkit's own JSON parser
// has it; deeper files are not JSON lists of entries.
constexpr int maxJsonDepth = 1024;

// Walks a value that is not taken all the same: the parser checks only what it
// is asked for, and the file must be valid JSON throughout. depth is the
// nesting of the value itself.
simdjson::error_code checkJsonValue(simdjson::ondemand::value value, int depth);

#endif
