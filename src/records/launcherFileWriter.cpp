#include "records/launcherFileWriter.h"

#include <QCoreApplication>

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstring>
#include <limits>
#include <string_view>

namespace {

// Room is made at most this far past the largest text: no piece asks for more
// at a time, but for a value of a newer version, whose size is exact.
constexpr size_t roomPastTheEnd = 64 * 1024;
// The characters of a string escaped at a time, each into at most six bytes.
constexpr std::ptrdiff_t stringChunk = 4096;

// Writes at a cursor into room made ahead: the file is written in one pass over
// every character, and a buffer's own appends would check for room at each
// piece. Room is counted in size_t and never made past the largest text: once
// the text would grow past it, nothing more is written, and it is dropped.
class Writer
{
public:
    Writer(QByteArray *text, qint64 maxSize, qint64 expectedSize);

    void entry(const ApplicationData &application);
    void compactObject(const OtherFields &fields);
    template <size_t size>
    void put(const char (&literal)[size])
    {
        put(literal, size - 1);
    }
    bool tooLarge() const { return m_tooLarge; }
    // Ends the text at the cursor. False, and the text null, when it grew too large.
    bool finish();

private:
    bool makeRoom(size_t bytes) { return size_t(m_end - m_out) >= bytes || grow(bytes); }
    bool grow(size_t bytes);
    void put(const char *bytes, size_t length)
    {
        if (makeRoom(length)) {
            std::memcpy(m_out, bytes, length);
            m_out += length;
        }
    }
    void indent(int level);
    void key(int level, std::string_view name);
    void string(const QString &text);
    void variables(int level, const VariableDataList &list);
    void otherField(const QString &name, const QByteArray &value);

    QByteArray &m_text;
    size_t m_maxSize;
    char *m_out = nullptr;
    char *m_end = nullptr;
    bool m_tooLarge = false;
};

char hexDigit(uint value)
{
    return char(value < 10 ? '0' + value : 'a' + value - 10);
}

Writer::Writer(QByteArray *text, qint64 maxSize, qint64 expectedSize)
    : m_text(*text)
    , m_maxSize(size_t(qBound(qint64(0), maxSize, qint64(std::numeric_limits<int>::max() / 2))))
{
    m_text.resize(int(qBound(qint64(64), expectedSize, qint64(m_maxSize + roomPastTheEnd))));
    m_out = m_text.data();
    m_end = m_out + m_text.size();
}

bool Writer::grow(size_t bytes)
{
    const size_t used = size_t(m_out - m_text.constData());
    const size_t largest = m_maxSize + roomPastTheEnd;
    if (m_tooLarge || bytes > largest - used) {
        m_tooLarge = true;
        return false;
    }
    const size_t room = std::max(used + bytes, std::min(2 * size_t(m_text.size()), largest));
    m_text.resize(int(room));
    m_out = m_text.data() + used;
    m_end = m_text.data() + m_text.size();
    return true;
}

bool Writer::finish()
{
    const size_t used = size_t(m_out - m_text.constData());
    if (m_tooLarge || used > m_maxSize) {
        m_text = QByteArray();
        return false;
    }
    m_text.resize(int(used));
    return true;
}

void Writer::indent(int level)
{
    const size_t blanks = size_t(4 * level);
    if (makeRoom(blanks)) {
        std::memset(m_out, ' ', blanks);
        m_out += blanks;
    }
}

void Writer::key(int level, std::string_view name)
{
    indent(level);
    put("\"");
    put(name.data(), name.size());
    put("\": ");
}

void Writer::string(const QString &text)
{
    const QChar *position = text.constData();
    const QChar *const end = position + text.size();
    // Each chunk's room holds the closing quote too.
    if (!makeRoom(2 + 6 * size_t(std::min(end - position, stringChunk))))
        return;
    char *out = m_out;
    *out++ = '"';
    while (position < end) {
        // A pair of surrogates at the end of a chunk is taken whole, in fewer
        // bytes than the two characters have room for.
        const QChar *const chunkEnd = position + std::min(end - position, stringChunk);
        for (; position < chunkEnd; ++position) {
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
        m_out = out;
        if (position < end && !makeRoom(1 + 6 * size_t(std::min(end - position, stringChunk))))
            return;
        out = m_out;
    }
    *out++ = '"';
    m_out = out;
}

void Writer::variables(int level, const VariableDataList &list)
{
    put("[\n");
    for (int i = 0; i < list.size() && !m_tooLarge; ++i) {
        indent(level + 1);
        put("{\n");
        key(level + 2, "name");
        string(list.at(i).name());
        put(",\n");
        key(level + 2, "value");
        string(list.at(i).value());
        put("\n");
        indent(level + 1);
        if (i + 1 < list.size())
            put("},\n");
        else
            put("}\n");
    }
    indent(level);
    put("]");
}

// A key of a newer version, with its value as it was read.
void Writer::otherField(const QString &name, const QByteArray &value)
{
    indent(2);
    string(name);
    put(": ");
    put(value.constData(), size_t(value.size()));
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
    const OtherFields others = application.otherFields();
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
        }
        if (!first)
            put(",\n");
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
        default: {
            char number[16];
            put(number, size_t(std::to_chars(number, number + sizeof number, application.tag()).ptr - number));
        }
        }
    }
    for (; other != others.constEnd(); ++other) {
        put(",\n");
        otherField(other.key(), other.value());
    }
    put("\n    }");
}

void Writer::compactObject(const OtherFields &fields)
{
    put("{");
    for (auto field = fields.constBegin(); field != fields.constEnd(); ++field) {
        if (field != fields.constBegin())
            put(",");
        string(field.key());
        put(":");
        put(field.value().constData(), size_t(field.value().size()));
    }
    put("}");
}

} // namespace

QByteArray launcherFileContent(const ApplicationDataList &list, qint64 maxSize)
{
    QByteArray text;
    // About what a user's entry takes, to spare most reallocations.
    Writer writer(&text, maxSize, 64 + qint64(list.size()) * 512);
    writer.put("[\n");
    for (int i = 0; i < list.size() && !writer.tooLarge(); ++i) {
        writer.entry(list.at(i));
        if (i + 1 < list.size())
            writer.put(",\n");
        else
            writer.put("\n");
    }
    writer.put("]\n");
    writer.finish();
    return text;
}

QString launcherFileTooLarge()
{
    return QCoreApplication::translate("LauncherFile",
                                       "The entries would take more than %1 MiB, and Korvani reads no larger file.")
        .arg(maxLauncherFileSize >> 20);
}

QByteArray otherFieldsContent(const ApplicationDataList &list)
{
    QByteArray text;
    Writer writer(&text, maxLauncherFileSize, 64);
    writer.put("[");
    for (int i = 0; i < list.size() && !writer.tooLarge(); ++i) {
        if (i > 0)
            writer.put(",");
        writer.compactObject(list.at(i).otherFields());
    }
    writer.put("]");
    writer.finish();
    return text;
}
