#include "records/jsonArrayReader.h"

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
    // A plain walk over the bytes: this runs over every byte of the file.
    const char *const text = m_text.constData();
    const int size = m_text.size();
    int depth = 0;
    int position = m_position;
    for (; position < size; ++position) {
        const char c = text[position];
        if (c == '"') {
            for (++position; position < size && text[position] != '"'; ++position) {
                if (text[position] == '\\')
                    ++position;
            }
        } else if (c == '[' || c == '{') {
            ++depth;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        } else if ((c == ',' || c == ']' || c == '}') && depth == 0) {
            break;
        }
    }
    return qMin(position, size);
}

bool JsonArrayReader::next(QJsonValue *value)
{
    if (m_index == m_batch.size() && !readBatch())
        return false;
    *value = m_batch.at(m_index++);
    return true;
}

bool JsonArrayReader::readBatch()
{
    // Large enough to spread the parser's cost per call, small enough that a
    // batch's document stays a small part of the entries made from it.
    const int batchSize = 256;
    if (!m_valid || m_finished)
        return false;
    const int start = m_position;
    int count = 0;
    char separator = ',';
    while (separator == ',' && count < batchSize) {
        m_position = elementEnd();
        separator = m_position < m_text.size() ? m_text.at(m_position) : '\0';
        ++m_position;
        ++count;
    }
    // In brackets, the elements parse with the same nesting limit they have
    // inside the whole array.
    const QByteArray elements = '[' + m_text.mid(start, m_position - 1 - start) + ']';
    m_batch = QJsonDocument::fromJson(elements).array();
    m_index = 0;
    if (m_batch.size() != count || (separator != ',' && separator != ']')) {
        m_valid = false;
    } else if (separator == ']') {
        skipSpace();
        m_finished = true;
        m_valid = m_position == m_text.size();
    } else {
        skipSpace();
    }
    if (!m_valid)
        m_batch = QJsonArray();
    return m_valid;
}
