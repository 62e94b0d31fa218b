#ifndef KORVANI_RECORDS_H
#define KORVANI_RECORDS_H

#include <QIcon>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QString>

class QDataStream;

// Program-wide objects shared by the launcher, its cards and its drag and drop.
extern const QString applicationDataMimeType;
extern const QList<int> tagValues; // heart, diamond, spade, kroeber

// One command-line argument (name and optional value) or one environment variable.
class VariableData
{
public:
    explicit VariableData(const QString &name = QString(), const QString &value = QString());

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString value() const { return m_value; }
    void setValue(const QString &value) { m_value = value; }

    QJsonObject toJsonObject() const;
    static VariableData fromJsonObject(const QJsonObject &object);

private:
    QString m_name;
    QString m_value;
};

using VariableDataList = QList<VariableData>;

// One launcher entry.
class ApplicationData
{
public:
    explicit ApplicationData(const QString &name = QString(), const QString &description = QString(),
                             const QString &path = QString(), const QString &preScript = QString(),
                             const VariableDataList &arguments = VariableDataList(),
                             const VariableDataList &environments = VariableDataList(), bool favorite = false,
                             int tag = 0);

    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }
    QString description() const { return m_description; }
    void setDescription(const QString &description) { m_description = description; }
    QString path() const { return m_path; }
    // Leaves the icon as it was; call updateIcon() to follow the new path.
    void setPath(const QString &path) { m_path = path; }
    QString preScript() const { return m_preScript; }
    void setPreScript(const QString &preScript) { m_preScript = preScript; }
    VariableDataList arguments() const { return m_arguments; }
    void setArguments(const VariableDataList &arguments) { m_arguments = arguments; }
    VariableDataList environments() const { return m_environments; }
    void setEnvironments(const VariableDataList &environments) { m_environments = environments; }
    bool favorite() const { return m_favorite; }
    void setFavorite(bool favorite) { m_favorite = favorite; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }
    QIcon icon() const { return m_icon; }

    void updateIcon();

    QJsonObject toJsonObject() const;
    static ApplicationData fromJsonObject(const QJsonObject &object);

    QString batchScript() const;
    QString batchFileName() const;
    // False when the file could not be written, with the system's reason.
    bool writeBatchFile(const QString &filePath, QString *errorString = nullptr) const;

private:
    QString m_name;
    QString m_description;
    QString m_path;
    QString m_preScript;
    VariableDataList m_arguments;
    VariableDataList m_environments;
    bool m_favorite;
    int m_tag;
    QIcon m_icon;
};

using ApplicationDataList = QList<ApplicationData>;

// The text that stands in a batch line for one argument word, so that the
// program receives exactly that word: quoted as programs split their command
// line, and with the characters that the interpreter itself would act on
// escaped.
QString batchArgument(const QString &word);

// Whether a word can stand in a batch line at all: a line break or another
// control character cannot. A program path, which the batch line quotes as
// it is, can also hold no quote and no percent sign.
bool fitsBatchLine(const QString &word);
bool fitsBatchProgramPath(const QString &path);

Q_DECLARE_METATYPE(VariableData)
Q_DECLARE_METATYPE(VariableDataList)
Q_DECLARE_METATYPE(ApplicationData)
Q_DECLARE_METATYPE(ApplicationDataList)

// Registers the four record types, with their stream operators, under their own names.
void registerRecordTypes();

template <typename Record>
QJsonArray toJsonArray(const QList<Record> &list)
{
    QJsonArray array;
    for (const Record &record : list)
        array.append(record.toJsonObject());
    return array;
}

template <typename Record>
QList<Record> fromJsonArray(const QJsonArray &array)
{
    QList<Record> list;
    for (const QJsonValue &value : array)
        list.append(Record::fromJsonObject(value.toObject()));
    return list;
}

// What was wrong with a launcher file that could not be read.
struct LauncherFileProblem
{
    bool notAList = false; // it was read, but is not a JSON array
    QString reason; // why it could not be read at all
    QString copyName; // where a copy of it is kept

    bool any() const { return notAList || !reason.isEmpty(); }
    // Unread and not copied: saving over it would lose the user's only copy.
    bool keepsFile() const { return any() && copyName.isEmpty(); }
};

// The largest launcher file that is read.
constexpr qint64 maxLauncherFileSize = qint64(256) << 20;

// The launcher file. Reading returns false when there is no file, or when it
// cannot be read: it is not a regular file, it is too large, or opening it
// fails. Content that is not a JSON array reads as an empty list, and a copy
// of it is kept beside the file so that the next save does not destroy the
// user's only copy. What went wrong goes to problem.
// Writing replaces the file atomically and creates its folder when needed; when
// it fails, the file stays as it was and errorString tells the system's reason.
bool readLauncherFile(const QString &fileName, ApplicationDataList *list, LauncherFileProblem *problem = nullptr);
// The entries of a launcher file's content; false when it is not a JSON array.
bool parseLauncherData(const QByteArray &content, ApplicationDataList *list);
bool writeLauncherFile(const QString &fileName, const ApplicationDataList &list, QString *errorString = nullptr);

QDataStream &operator<<(QDataStream &stream, const VariableData &variable);
QDataStream &operator>>(QDataStream &stream, VariableData &variable);
QDataStream &operator<<(QDataStream &stream, const ApplicationData &application);
QDataStream &operator>>(QDataStream &stream, ApplicationData &application);

// Same bytes as the toolkit's list operators, but the reader never trusts the
// element count: a damaged count costs nothing beyond the bytes that are there.
QDataStream &operator>>(QDataStream &stream, VariableDataList &list);
QDataStream &operator>>(QDataStream &stream, ApplicationDataList &list);

// The drag-and-drop payload: records back to back, without a count.
QByteArray writeApplicationDataPayload(const ApplicationDataList &list);
ApplicationDataList readApplicationDataPayload(const QByteArray &payload);

#endif
