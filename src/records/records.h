#ifndef KORVANI_RECORDS_H
#define KORVANI_RECORDS_H

#include <QIcon>
#include <QJsonObject>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVector>

// Program-wide objects shared by the launcher, its cards and its drag and drop.
extern const QString applicationDataMimeType;
extern const QList<int> tagValues; // heart, diamond, spade, kroeber
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

private:
    QString m_name;
    QString m_value;
};

Q_DECLARE_TYPEINFO(VariableData, Q_MOVABLE_TYPE);

// Held in place: an entry's few arguments and variables cost one block.
using VariableDataList = QVector<VariableData>;

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

    // The keys of the launcher file that this version does not know, with
    // their values as read, written back as they were.
    QJsonObject otherFields() const { return m_otherFields; }
    void setOtherFields(const QJsonObject &otherFields) { m_otherFields = otherFields; }

    QJsonObject toJsonObject() const;

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
    // None until asked for: a long launcher file costs no icons at start.
    mutable QIcon m_icon;
    QJsonObject m_otherFields;
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
