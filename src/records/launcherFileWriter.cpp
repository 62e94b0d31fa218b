#include "records/launcherFileWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <charconv>
#include <cstring>
#include <string_view>

namespace {

// Writes an entry at a cursor into room made for the most it can take: the
// file is written in one pass over every character, and a buffer's own appends
// would check for room at each piece.
class Writer
{
public:
    explicit Writer(QByteArray *text)
        : m_text(*text)
    {
    }

    void entry(const ApplicationData &application);

private:
    // Makes room for at least this many more bytes, from where the cursor is.
    void makeRoom(int bytes);
    // Ends the text at the cursor, which others may then write past.
    void close()
    {
        m_text.resize(int(m_out - m_text.constData()));
        m_out = nullptr;
    }
    void put(const char *bytes, int length)
    {
        std::memcpy(m_out, bytes, size_t(length));
        m_out += length;
    }
    template <int size>
    void put(const char (&literal)[size])
    {
        put(literal, size - 1);
    }
    void indent(int level)
    {
        std::memset(m_out, ' ', size_t(4 * level));
        m_out += 4 * level;
    }
    void key(int level, const char *name, int length);
    template <int size>
    void key(int level, const char (&name)[size])
    {
        key(level, name, size - 1);
    }
    void string(const QString &text);
    void variables(int level, const VariableDataList &list);
    void otherField(const QString &name, const QJsonValue &value);

    QByteArray &m_text;
    char *m_out = nullptr;
};

char hexDigit(uint value)
{
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}

// The most a string takes: six bytes a character, escaped, and its quotes.
int stringRoom(const QString &text)
{
    return 2 + 6 * text.size();
}

void Writer::makeRoom(int bytes)
{
    const int used = m_out ? int(m_out - m_text.constData()) : m_text.size();
    m_text.resize(used + bytes);
    m_out = m_text.data() + used;
}

void Writer::string(const QString &text)
{
    char *out = m_out;
    *out++ = '"';
    const QChar *const end = text.constData() + text.size();
    for (const QChar *position = text.constData(); position < end; ++position) {
        const ushort unit = position->unicode();
        if (unit >= 0x20 && unit < 0x80 && unit != '"' && unit != '\\') {
            *out++ = char(unit);
        } else if (unit < 0x80) {
            *out++ = '\\';
            switch (unit) {
            case '"':
            case '\\':
                *out++ = char(unit);
                break;
            case '\b':
                *out++ = 'b';
                break;
            case '\f':
                *out++ = 'f';
                break;
            case '\n':
                *out++ = 'n';
                break;
            case '\r':
                *out++ = 'r';
                break;
            case '\t':
                *out++ = 't';
                break;
            default:
                *out++ = 'u';
                *out++ = '0';
                *out++ = '0';
                *out++ = hexDigit(unit >> 4);
                *out++ = hexDigit(unit & 0xf);
            }
        } else if (unit < 0x800) {
            *out++ = char(0xc0 | (unit >> 6));
            *out++ = char(0x80 | (unit & 0x3f));
        } else if (QChar::isHighSurrogate(unit) && position + 1 < end && position[1].isLowSurrogate()) {
            const uint code = QChar::surrogateToUcs4(unit, position[1].unicode());
            ++position;
            *out++ = char(0xf0 | (code >> 18));
            *out++ = char(0x80 | ((code >> 12) & 0x3f));
            *out++ = char(0x80 | ((code >> 6) & 0x3f));
            *out++ = char(0x80 | (code & 0x3f));
        } else if (QChar::isSurrogate(unit)) {
            // A lone half of a pair has no UTF-8 form: escaped, as the toolkit does.
            *out++ = '\\';
            *out++ = 'u';
            *out++ = hexDigit(unit >> 12);
            *out++ = hexDigit((unit >> 8) & 0xf);
            *out++ = hexDigit((unit >> 4) & 0xf);
            *out++ = hexDigit(unit & 0xf);
        } else {
            *out++ = char(0xe0 | (unit >> 12));
            *out++ = char(0x80 | ((unit >> 6) & 0x3f));
            *out++ = char(0x80 | (unit & 0x3f));
        }
    }
    *out++ = '"';
    m_out = out;
}

void Writer::key(int level, const char *name, int length)
{
    indent(level);
    *m_out++ = '"';
    put(name, length);
    put("\": ");
}

void Writer::variables(int level, const VariableDataList &list)
{
    put("[\n");
    for (int i = 0; i < list.size(); ++i) {
        indent(level + 1);
        put("{\n");
        key(level + 2, "name");
        string(list.at(i).name());
        put(",\n");
        key(level + 2, "value");
        string(list.at(i).value());
        *m_out++ = '\n';
        indent(level + 1);
        if (i + 1 < list.size())
            put("},\n");
        else
            put("}\n");
    }
    indent(level);
    *m_out++ = ']';
}

// A key of a newer version, written as the toolkit writes its value.
void Writer::otherField(const QString &name, const QJsonValue &value)
{
    // In an array, the value is written one level in; here it stands two in.
    const QByteArray written = QJsonDocument(QJsonArray{value}).toJson();
    const QList<QByteArray> lines = written.mid(2, written.size() - 5).split('\n');
    makeRoom(8 + stringRoom(name) + 2 + written.size() + 4 * lines.size());
    indent(2);
    string(name);
    put(": ");
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            *m_out++ = '\n';
            indent(1);
        }
        const QByteArray line = i == 0 ? lines.at(i).mid(4) : lines.at(i);
        put(line.constData(), line.size());
    }
}

void Writer::entry(const ApplicationData &application)
{
    // The keys in sorted order, the unknown ones among them.
    struct Field
    {
        std::string_view name;
        int known;
    };
    static constexpr Field known[] = {{"arguments", 0}, {"description", 1}, {"environments", 2}, {"favorite", 3},
                                      {"name", 4},      {"path", 5},        {"preScript", 6},    {"tag", 7}};
    const VariableDataList arguments = application.arguments();
    const VariableDataList environments = application.environments();
    // The keys, their indents, the punctuation, a number and a truth value.
    int room = 512 + stringRoom(application.name()) + stringRoom(application.description())
        + stringRoom(application.path()) + stringRoom(application.preScript());
    for (const VariableDataList *list : {&arguments, &environments}) {
        for (const VariableData &variable : *list)
            room += 128 + stringRoom(variable.name()) + stringRoom(variable.value());
    }
    makeRoom(room);
    const QJsonObject others = application.otherFields();
    auto other = others.constBegin();
    put("    {\n");
    bool first = true;
    for (const Field &field : known) {
        for (; other != others.constEnd() && other.key() < QLatin1String(field.name.data(), int(field.name.size()));
             ++other) {
            if (!first)
                put(",\n");
            first = false;
            otherField(other.key(), other.value());
            makeRoom(room);
        }
        if (!first)
            put(",\n");
        first = false;
        key(2, field.name.data(), int(field.name.size()));
        switch (field.known) {
        case 0:
            variables(2, arguments);
            break;
        case 1:
            string(application.description());
            break;
        case 2:
            variables(2, environments);
            break;
        case 3:
            if (application.favorite())
                put("true");
            else
                put("false");
            break;
        case 4:
            string(application.name());
            break;
        case 5:
            string(application.path());
            break;
        case 6:
            string(application.preScript());
            break;
        default:
            m_out = std::to_chars(m_out, m_out + 16, application.tag()).ptr;
        }
    }
    for (; other != others.constEnd(); ++other) {
        makeRoom(8);
        put(",\n");
        otherField(other.key(), other.value());
    }
    makeRoom(8);
    put("\n    }");
    close();
}

} // namespace

QByteArray launcherFileContent(const ApplicationDataList &list)
{
    QByteArray text;
    // About what a user's entry takes, to spare most reallocations.
    text.reserve(64 + list.size() * 512);
    text.append("[\n");
    Writer writer(&text);
    for (int i = 0; i < list.size(); ++i) {
        writer.entry(list.at(i));
        text.append(i + 1 < list.size() ? ",\n" : "\n");
    }
    text.append("]\n");
    return text;
}
