#include "records/launcherFileWriter.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstring>

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
    void otherField(const QString &name, const QJsonValue &value);

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
    // In one piece: the keys and their indents are a good part of the file.
    char text[64];
    const int indent = 4 * level;
    const int length = int(std::strlen(name));
    std::memset(text, ' ', size_t(indent));
    text[indent] = '"';
    std::memcpy(text + indent + 1, name, size_t(length));
    std::memcpy(text + indent + 1 + length, "\": ", 3);
    m_text.append(text, indent + length + 4);
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

// A key of a newer version, written as the toolkit writes its value.
void Writer::otherField(const QString &name, const QJsonValue &value)
{
    indent(2);
    string(name);
    m_text.append(": ");
    // In an array, the value is written one level in; here it stands two in.
    const QByteArray written = QJsonDocument(QJsonArray{value}).toJson();
    const QList<QByteArray> lines = written.mid(2, written.size() - 5).split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0) {
            m_text.append('\n');
            indent(1);
        }
        m_text.append(i == 0 ? lines.at(i).mid(4) : lines.at(i));
    }
}

void Writer::entry(const ApplicationData &application)
{
    // The keys in sorted order, the unknown ones among them.
    struct Field
    {
        const char *name;
        int known;
    };
    static const Field known[] = {{"arguments", 0}, {"description", 1}, {"environments", 2}, {"favorite", 3},
                                  {"name", 4},      {"path", 5},        {"preScript", 6},    {"tag", 7}};
    const QJsonObject others = application.otherFields();
    auto other = others.constBegin();
    m_text.append("    {\n");
    bool first = true;
    for (const Field &field : known) {
        for (; other != others.constEnd() && other.key() < QLatin1String(field.name); ++other) {
            if (!first)
                m_text.append(",\n");
            first = false;
            otherField(other.key(), other.value());
        }
        if (!first)
            m_text.append(",\n");
        first = false;
        key(2, field.name);
        switch (field.known) {
        case 0:
            variables(2, application.arguments());
            break;
        case 1:
            string(application.description());
            break;
        case 2:
            variables(2, application.environments());
            break;
        case 3:
            m_text.append(application.favorite() ? "true" : "false");
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
            m_text.append(QByteArray::number(application.tag()));
        }
    }
    for (; other != others.constEnd(); ++other) {
        m_text.append(",\n");
        otherField(other.key(), other.value());
    }
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
