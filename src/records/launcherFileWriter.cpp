#include "records/launcherFileWriter.h"

namespace {

class Writer
{
public:
    explicit Writer(QByteArray *text)
        : m_text(*text)
    {
    }

    void entry(const ApplicationData &application);

private:
    void indent(int level) { m_text.append(4 * level, ' '); }
    void key(int level, const char *name);
    void string(const QString &text);
    void variables(int level, const VariableDataList &list);

    QByteArray &m_text;
};

char hexDigit(uint value)
{
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}

// Runs over every character of the file: written in place, with room made
// first for the most a character can take (six bytes, escaped).
void Writer::string(const QString &text)
{
    const int start = m_text.size();
    m_text.resize(start + 2 + 6 * text.size());
    char *out = m_text.data() + start;
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
    m_text.resize(int(out - m_text.constData()));
}

void Writer::key(int level, const char *name)
{
    indent(level);
    m_text.append('"').append(name).append("\": ");
}

void Writer::variables(int level, const VariableDataList &list)
{
    m_text.append("[\n");
    for (int i = 0; i < list.size(); ++i) {
        indent(level + 1);
        m_text.append("{\n");
        key(level + 2, "name");
        string(list.at(i).name());
        m_text.append(",\n");
        key(level + 2, "value");
        string(list.at(i).value());
        m_text.append('\n');
        indent(level + 1);
        m_text.append(i + 1 < list.size() ? "},\n" : "}\n");
    }
    indent(level);
    m_text.append(']');
}

void Writer::entry(const ApplicationData &application)
{
    // The keys in sorted order.
    m_text.append("    {\n");
    key(2, "arguments");
    variables(2, application.arguments());
    m_text.append(",\n");
    key(2, "description");
    string(application.description());
    m_text.append(",\n");
    key(2, "environments");
    variables(2, application.environments());
    m_text.append(",\n");
    key(2, "favorite");
    m_text.append(application.favorite() ? "true" : "false");
    m_text.append(",\n");
    key(2, "name");
    string(application.name());
    m_text.append(",\n");
    key(2, "path");
    string(application.path());
    m_text.append(",\n");
    key(2, "preScript");
    string(application.preScript());
    m_text.append(",\n");
    key(2, "tag");
    m_text.append(QByteArray::number(application.tag()));
    m_text.append("\n    }");
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
