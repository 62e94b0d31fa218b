#include "jsonArrayReader.h"

#include <QJsonArray>
#include <QJsonDocument>

JsonArrayReader::JsonArrayReader(const QByteArray &text)
    : m_text(text)
{
    // The parser skips a byte order mark at the very start, and only there.
    if (m_text.startsWith("\xEF\xBB\xBF"))
        m_position = 3;
    skipSpace();
    if (m_position < m_text.size() && m_text.at(m_position) == '[') {
        ++m_position;
        skipSpace();
        if (m_position < m_text.size() && m_text.at(m_position) == ']') {
            ++m_position;
            m_finished = true;
        }
    } else {
        m_valid = false;
    }
}

void JsonArrayReader::skipSpace()
{
    while (m_position < m_text.size()) {
        const char c = m_text.at(m_position);
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r')
            break;
        ++m_position;
    }
}

int JsonArrayReader::elementEnd() const
{
    int depth = 0;
    bool inString = false;
    int position = m_position;
    for (; position < m_text.size(); ++position) {
        const char c = m_text.at(position);
        if (inString) {
            if (c == '\\')
                ++position;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        } else if ((c == ',' || c == ']' || c == '}') && depth == 0) {
            break;
        }
    }
    return qMin(position, int(m_text.size()));
}

bool JsonArrayReader::next(QJsonValue *value)
{
    if (!m_valid || m_finished)
        return false;
    const int end = elementEnd();
    // Wrapped in brackets, the element parses with the same nesting limit it
    // has inside the whole array.
    const QByteArray element = '[' + m_text.mid(m_position, end - m_position) + ']';
    const QJsonArray parsed = QJsonDocument::fromJson(element).array();
    m_position = end;
    const char separator = m_position < m_text.size() ? m_text.at(m_position) : '\0';
    ++m_position;
    if (parsed.size() == 1 && separator == ']') {
        skipSpace();
        m_finished = true;
        m_valid = m_position == m_text.size();
    } else if (parsed.size() == 1 && separator == ',') {
        skipSpace();
    } else {
        m_valid = false;
    }
    if (!m_valid)
        return false;
    *value = parsed.at(0);
    return true;
}
