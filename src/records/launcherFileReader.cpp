#include "records/launcherFileReader.h"

#include "records/jsonStringReader.h"
#include "records/jsonValueCheck.h"

#include <simdjson.h>

#include <cstring>
#include <memory>

static_assert(launcherFilePadding >= int(simdjson::SIMDJSON_PADDING), "the parser reads this far past the end");

namespace {

using simdjson::error_code;
using simdjson::SUCCESS;
using simdjson::ondemand::json_type;
namespace ondemand = simdjson::ondemand;

const char *const entryKeys[] = {"name",     "description", "path",      "preScript",
                                 "favorite", "tag",         "arguments", "environments"};
const char *const variableKeys[] = {"name", "value"};

// Which of the keys the field's key is: most keys are compared as written,
// without unescaping them; a key spelt with escapes is compared unescaped.
template <size_t count>
error_code findKey(ondemand::field &field, const char *const (&keys)[count], int *found, QString *otherKey)
{
    const ondemand::raw_json_string raw = field.key();
    for (size_t i = 0; i < count; ++i) {
        if (raw.unsafe_is_equal(keys[i])) {
            *found = int(i);
            return SUCCESS;
        }
    }
    if (const error_code error = JsonStringReader::key(field, otherKey))
        return error;
    *found = -1;
    for (size_t i = 0; i < count && *found < 0; ++i) {
        if (*otherKey == QLatin1String(keys[i]))
            *found = int(i);
    }
    return SUCCESS;
}

// Reads the entries of one document, and tells what they cannot hold.
class EntryReader
{
public:
    EntryReader(LauncherDataLosses *losses, const char *end)
        : m_losses(losses)
        , m_end(end)
    {
    }

    error_code readEntry(ondemand::value value, int number, ApplicationData *entry);

private:
    // Whether the value is of the expected type; if not, it is walked and its
    // loss noted, and the field keeps its default.
    bool take(ondemand::value &value, json_type expected, const char *key, error_code *error);
    error_code readString(ondemand::value value, const char *key, QString *text);
    error_code readBool(ondemand::value value, const char *key, bool *boolean);
    error_code readInt(ondemand::value value, const char *key, int *integer);
    struct WrittenList
    {
        std::string_view json;
        VariableDataList list;
    };
    error_code readVariables(ondemand::value value, const char *key, VariableDataList *variables, WrittenList *last);
    error_code readVariable(ondemand::value value, const char *key, VariableData *variable);
    error_code readOtherField(ondemand::field &field, const QString &name, OtherFields *otherFields);
    void lose(const QString &what);

    LauncherDataLosses *m_losses;
    const char *m_end;
    int m_entry = 0;
    int m_lost = 0;
    // The last arguments and environments read: entries often repeat them.
    WrittenList m_lastArguments;
    WrittenList m_lastEnvironments;
    JsonStringReader m_strings;
};

void EntryReader::lose(const QString &what)
{
    ++m_lost;
    if (!m_losses)
        return;
    if (m_losses->examples.size() < LauncherDataLosses::shownExamples)
        m_losses->examples.append(what);
    ++m_losses->count;
}

bool EntryReader::take(ondemand::value &value, json_type expected, const char *key, error_code *error)
{
    json_type type;
    if ((*error = value.type().get(type)))
        return false;
    if (type == expected)
        return true;
    lose(LauncherDataLosses::tr("Entry %1: \"%2\" holds a value of another kind than Korvani keeps there.")
             .arg(m_entry)
             .arg(QLatin1String(key)));
    *error = checkJsonValue(value, 3);
    return false;
}

error_code EntryReader::readString(ondemand::value value, const char *key, QString *text)
{
    error_code error;
    *text = QString();
    return take(value, json_type::string, key, &error) ? m_strings.read(value, text) : error;
}

error_code EntryReader::readBool(ondemand::value value, const char *key, bool *boolean)
{
    error_code error;
    *boolean = false;
    return take(value, json_type::boolean, key, &error) ? value.get_bool().get(*boolean) : error;
}

error_code EntryReader::readInt(ondemand::value value, const char *key, int *integer)
{
    error_code error;
    *integer = 0;
    if (!take(value, json_type::number, key, &error))
        return error;
    if (jsonWholeNumber(value, integer))
        return SUCCESS;
    if (!isJsonNumber(value))
        return simdjson::NUMBER_ERROR;
    lose(LauncherDataLosses::tr("Entry %1: \"%2\" is not a whole number within range.").arg(m_entry).arg(key));
    return SUCCESS;
}

// A list written as the last one was, byte for byte, is that list: it is
// walked, and shared rather than made anew.
error_code EntryReader::readVariables(ondemand::value value, const char *key, VariableDataList *variables,
                                      WrittenList *last)
{
    error_code error;
    variables->clear();
    ondemand::array array;
    if (!take(value, json_type::array, key, &error))
        return error;
    const char *const start = value.raw_json_token().data();
    if ((error = value.get_array().get(array)))
        return error;
    const std::string_view known = last->json;
    if (!known.empty() && size_t(m_end - start) >= known.size()
        && std::memcmp(start, known.data(), known.size()) == 0) {
        std::string_view walked;
        if ((error = array.raw_json().get(walked)))
            return error;
        *variables = last->list;
        return SUCCESS;
    }
    const int lost = m_lost;
    for (auto element : array) {
        ondemand::value item;
        VariableData variable;
        if ((error = std::move(element).get(item)) || (error = readVariable(item, key, &variable)))
            return error;
        variables->append(variable);
    }
    // A list that lost something is told of at each entry that holds it.
    const char *end = nullptr;
    if (m_lost == lost && value.current_location().get(end) == SUCCESS)
        *last = {std::string_view(start, size_t(end - start)), *variables};
    return SUCCESS;
}

error_code EntryReader::readVariable(ondemand::value value, const char *key, VariableData *variable)
{
    json_type type;
    error_code error;
    if ((error = value.type().get(type)))
        return error;
    if (type != json_type::object) {
        lose(LauncherDataLosses::tr("Entry %1: an item of \"%2\" is not a name with a value.").arg(m_entry).arg(key));
        return checkJsonValue(value, 4);
    }
    ondemand::object object;
    if ((error = value.get_object().get(object)))
        return error;
    QString text;
    QString otherKey;
    for (auto member : object) {
        ondemand::field field;
        int found;
        if ((error = std::move(member).get(field)) || (error = findKey(field, variableKeys, &found, &otherKey)))
            return error;
        if (found == 0) {
            error = readString(field.value(), "name", &text);
            variable->setName(text);
        } else if (found == 1) {
            error = readString(field.value(), "value", &text);
            variable->setValue(text);
        } else {
            lose(LauncherDataLosses::tr("Entry %1: an item of \"%2\" holds \"%3\", which Korvani does not keep.")
                     .arg(m_entry)
                     .arg(QLatin1String(key), otherKey));
            error = checkJsonValue(field.value(), 5);
        }
        if (error)
            return error;
    }
    return SUCCESS;
}

// A key Korvani does not know, kept with its value's text as written, so that
// what a newer version wrote survives this one's save byte for byte.
error_code EntryReader::readOtherField(ondemand::field &field, const QString &name, OtherFields *otherFields)
{
    std::string_view text;
    if (const error_code error = readJsonText(field.value(), 3, &text))
        return error;
    otherFields->insert(name, QByteArray(text.data(), int(text.size())));
    return SUCCESS;
}

error_code EntryReader::readEntry(ondemand::value value, int number, ApplicationData *entry)
{
    m_entry = number;
    json_type type;
    error_code error;
    if ((error = value.type().get(type)))
        return error;
    if (type != json_type::object) {
        lose(LauncherDataLosses::tr("Element %1 of the list is not an entry.").arg(number));
        return checkJsonValue(value, 2);
    }
    ondemand::object object;
    if ((error = value.get_object().get(object)))
        return error;
    QString name, description, path, preScript;
    VariableDataList arguments, environments;
    bool favorite = false;
    int tag = 0;
    OtherFields otherFields;
    QString otherKey;
    for (auto member : object) {
        ondemand::field field;
        int found;
        if ((error = std::move(member).get(field)) || (error = findKey(field, entryKeys, &found, &otherKey)))
            return error;
        const char *const key = found >= 0 ? entryKeys[found] : nullptr;
        switch (found) {
        case 0:
            error = readString(field.value(), key, &name);
            break;
        case 1:
            error = readString(field.value(), key, &description);
            break;
        case 2:
            error = readString(field.value(), key, &path);
            break;
        case 3:
            error = readString(field.value(), key, &preScript);
            break;
        case 4:
            error = readBool(field.value(), key, &favorite);
            break;
        case 5:
            error = readInt(field.value(), key, &tag);
            break;
        case 6:
            error = readVariables(field.value(), key, &arguments, &m_lastArguments);
            break;
        case 7:
            error = readVariables(field.value(), key, &environments, &m_lastEnvironments);
            break;
        default:
            error = readOtherField(field, otherKey, &otherFields);
        }
        if (error)
            return error;
    }
    *entry = ApplicationData(name, description, path, preScript, arguments, environments, favorite, tag);
    entry->setOtherFields(otherFields);
    return SUCCESS;
}

} // namespace

bool parseLauncherData(const QByteArray &content, ApplicationDataList *list, LauncherDataLosses *losses)
{
    list->clear();
    if (losses)
        *losses = LauncherDataLosses();
    if (content.size() > maxLauncherFileSize)
        return false;
    QByteArray padded;
    const char *data = content.constData();
    if (content.capacity() - content.size() < launcherFilePadding) {
        padded.reserve(content.size() + launcherFilePadding);
        padded.append(content.constData(), content.size());
        data = padded.constData();
    }
    int size = content.size();
    // A byte order mark is taken at the very start, and only there.
    if (content.startsWith("\xEF\xBB\xBF")) {
        data += 3;
        size -= 3;
    }

    ondemand::parser parser;
    ondemand::document document;
    ondemand::array array;
    if (parser.iterate(data, size_t(size), size_t(size) + launcherFilePadding).get(document)
        || document.get_array().get(array))
        return false;
    LauncherDataLosses found;
    // Large: kept off the stack.
    const auto reader = std::make_unique<EntryReader>(&found, data + size);
    ApplicationDataList entries;
    for (auto element : array) {
        ondemand::value value;
        // Read where it stays: a copy costs each of its texts a count up and down.
        entries.append(ApplicationData());
        if (std::move(element).get(value) || reader->readEntry(value, entries.size(), &entries.last()))
            return false;
    }
    // Nothing may follow the array.
    const char *rest = nullptr;
    if (document.current_location().get(rest) == SUCCESS)
        return false;
    *list = entries;
    if (losses)
        *losses = found;
    return true;
}
