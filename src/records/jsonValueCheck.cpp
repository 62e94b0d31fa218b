#include "records/jsonValueCheck.h"

#include "records/jsonStringReader.h"

#include <utility>

using simdjson::error_code;
using simdjson::SUCCESS;
using simdjson::ondemand::json_type;
namespace ondemand = simdjson::ondemand;

error_code checkJsonValue(ondemand::value value, int depth)
{
    json_type type;
    if (const error_code error = value.type().get(type))
        return error;
    if ((type == json_type::array || type == json_type::object) && depth > maxJsonDepth)
        return simdjson::DEPTH_ERROR;
    switch (type) {
    case json_type::array: {
        ondemand::array array;
        if (const error_code error = value.get_array().get(array))
            return error;
        for (auto element : array) {
            ondemand::value item;
            if (const error_code error = std::move(element).get(item))
                return error;
            if (const error_code error = checkJsonValue(item, depth + 1))
                return error;
        }
        return SUCCESS;
    }
    case json_type::object: {
        ondemand::object object;
        if (const error_code error = value.get_object().get(object))
            return error;
        for (auto member : object) {
            ondemand::field field;
            std::string_view key;
            if (const error_code error = std::move(member).get(field))
                return error;
            if (const error_code error = field.unescaped_key().get(key))
                return error;
            if (const error_code error = checkJsonValue(field.value(), depth + 1))
                return error;
        }
        return SUCCESS;
    }
    case json_type::number: {
        double number;
        return value.get_double().get(number);
    }
    case json_type::string: {
        return JsonStringReader::check(value);
    }
    case json_type::boolean: {
        bool boolean;
        return value.get_bool().get(boolean);
    }
    case json_type::null: {
        bool isNull = false;
        const error_code error = value.is_null().get(isNull);
        return error ? error : isNull ? SUCCESS : simdjson::N_ATOM_ERROR;
    }
    }
    return simdjson::INCORRECT_TYPE;
}
