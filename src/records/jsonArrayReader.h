#ifndef KORVANI_JSONARRAYREADER_H
#define KORVANI_JSONARRAYREADER_H

#include <QByteArray>
#include <QJsonArray>
#include <QJsonValue>

// Reads the elements of a JSON array text a few hundred at a time, so that a
// long launcher file never stands in memory as one whole document beside the
// entries made from it. The array's own brackets, commas and spaces are
// checked here, the elements by the toolkit's JSON parser: the text is read
// as valid exactly when the parser would take it whole as an array.
class JsonArrayReader
{
public:
    explicit JsonArrayReader(const QByteArray &text);

    // The next element; false at the end of the array and at the first error.
    bool next(QJsonValue *value);
    // False once the text turned out not to be a JSON array.
    bool isValid() const { return m_valid; }

private:
    bool readBatch();
    void skipSpace();
    // The end of the element that starts at the current position: the first
    // comma or closing bracket outside strings and nested brackets.
    int elementEnd() const;

    QByteArray m_text;
    QJsonArray m_batch;
    int m_index = 0;
    int m_position = 0;
    bool m_valid = true;
    bool m_finished = false;
};

#endif
