#ifndef KORVANI_RECORDS_H
#define KORVANI_RECORDS_H

#include <QByteArray>
#include <QIcon>
#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QMetaType>
#include <QString>
#include <QVector>

// Program-wide objects shared by the launcher, its cards and its drag and drop.
extern const QString applicationDataMimeType;
// The tag marks, each a bit of an entry's tag.
enum TagMark : int { HeartMark = 1, DiamondMark = 2, SpadeMark = 4, KroeberMark = 8 };
extern const QList<int> tagValues; // the marks in the order of their tabs and buttons
extern const QString newEntryName; // the name of an entry that Add makes

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

    bool operator==(const VariableData &other) const { return m_name == other.m_name && m_value == other.m_value; }
    bool operator!=(const VariableData &other) const { return !(*this == other); }

private:
    QString m_name;
    QString m_value;
};

Q_DECLARE_TYPEINFO(VariableData, Q_MOVABLE_TYPE);

// Held in place: an entry's few arguments and variables cost one block.
using VariableDataList = QVector<VariableData>;

// The keys of the launcher file that this version does not know, each with its
// value's JSON text exactly as it was read, so that it is written back byte for
// byte, however the toolkit would hold or write it.
using OtherFields = QMap<QString, QByteArray>;

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
    void setPath(const QString &path);
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
    // The icon of the program at the path as it was when updateIcon() last
    // ran. Made when first asked for, and looked up when first drawn.
    QIcon icon() const;

    void updateIcon();

    OtherFields otherFields() const { return m_otherFields; }
    void setOtherFields(const OtherFields &otherFields) { m_otherFields = otherFields; }

    QJsonObject toJsonObject() const;

    QString batchScript() const;
    QString batchFileName() const;
    // False when the file could not be written, with the system's reason.
    bool writeBatchFile(const QString &filePath, QString *errorString = nullptr) const;

    // Whether both would be stored alike: every field and kept key, the icon aside.
    bool operator==(const ApplicationData &other) const;
    bool operator!=(const ApplicationData &other) const { return !(*this == other); }

private:
    QString m_name;
    QString m_description;
    QString m_path;
    QString m_preScript;
    VariableDataList m_arguments;
    VariableDataList m_environments;
    bool m_favorite;
    int m_tag;
    // None until asked for: a long launcher file costs no icons at start.
    mutable QIcon m_icon;
    OtherFields m_otherFields;
};

using ApplicationDataList = QList<ApplicationData>;

class QDataStream;

// The stream forms, defined with the record stream. Declared with the types:
// Qt 6 builds a type's meta-type, stream operators included, wherever the
// type is first put into a variant, and every such place must see the same.
QDataStream &operator<<(QDataStream &stream, const VariableData &variable);
QDataStream &operator>>(QDataStream &stream, VariableData &variable);
QDataStream &operator<<(QDataStream &stream, const ApplicationData &application);
QDataStream &operator>>(QDataStream &stream, ApplicationData &application);
// Same bytes as the toolkit's list operators, but the reader never trusts the
// element count: a damaged count costs nothing beyond the bytes that are there.
QDataStream &operator>>(QDataStream &stream, VariableDataList &list);
QDataStream &operator>>(QDataStream &stream, ApplicationDataList &list);

Q_DECLARE_METATYPE(VariableData)
Q_DECLARE_METATYPE(VariableDataList)
Q_DECLARE_METATYPE(ApplicationData)
Q_DECLARE_METATYPE(ApplicationDataList)

#endif
