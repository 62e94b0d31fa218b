#include "records.h"

#include "jsonArrayReader.h"
#include "programIconEngine.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTextStream>

#include <cmath>
#include <limits>

const QString applicationDataMimeType = QStringLiteral("application/korvani-application-data");
const QList<int> tagValues = {1, 2, 4, 8};

namespace {

QString stringValue(const QJsonObject &object, const QString &key)
{
    // Anything but a string gives a null string, as a missing key does.
    return object.value(key).toString();
}

int intValue(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    if (!value.isDouble())
        return 0;
    const double number = value.toDouble();
    if (!std::isfinite(number) || std::floor(number) != number || number < std::numeric_limits<int>::min()
        || number > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(number);
}

VariableDataList listValue(const QJsonObject &object, const QString &key)
{
    const QJsonValue value = object.value(key);
    return value.isArray() ? fromJsonArray<VariableData>(value.toArray()) : VariableDataList();
}

template <typename Record>
QDataStream &readList(QDataStream &stream, QList<Record> &list)
{
    const QDataStream::Status oldStatus = stream.status();
    if (!stream.device() || !stream.device()->isTransactionStarted())
        stream.resetStatus();
    list.clear();
    quint32 count = 0;
    stream >> count;
    // Each element takes at least one byte of the stream, so a failed read ends
    // the loop long before an absurd count could; nothing is reserved in advance.
    for (quint32 i = 0; i < count; ++i) {
        Record record;
        stream >> record;
        if (stream.status() != QDataStream::Ok) {
            list.clear();
            break;
        }
        list.append(record);
    }
    if (oldStatus != QDataStream::Ok) {
        stream.resetStatus();
        stream.setStatus(oldStatus);
    }
    return stream;
}

// Keeps an unreadable launcher file under a free name beside it, unless an
// identical copy is already there.
void keepUnreadableCopy(const QString &fileName, const QByteArray &content)
{
    for (int number = 1;; ++number) {
        const QString copyName = fileName
            + (number == 1 ? QStringLiteral(".unreadable") : QStringLiteral(".unreadable-%1").arg(number));
        QFile copy(copyName);
        if (!copy.exists()) {
            QFile::copy(fileName, copyName);
            return;
        }
        if (copy.size() == content.size() && copy.open(QIODevice::ReadOnly) && copy.readAll() == content)
            return;
    }
}

} // namespace

VariableData::VariableData(const QString &name, const QString &value)
    : m_name(name)
    , m_value(value)
{
}

QJsonObject VariableData::toJsonObject() const
{
    return {{QStringLiteral("name"), m_name}, {QStringLiteral("value"), m_value}};
}

VariableData VariableData::fromJsonObject(const QJsonObject &object)
{
    return VariableData(stringValue(object, QStringLiteral("name")), stringValue(object, QStringLiteral("value")));
}

ApplicationData::ApplicationData(const QString &name, const QString &description, const QString &path,
                                 const QString &preScript, const VariableDataList &arguments,
                                 const VariableDataList &environments, bool favorite, int tag)
    : m_name(name)
    , m_description(description)
    , m_path(path)
    , m_preScript(preScript)
    , m_arguments(arguments)
    , m_environments(environments)
    , m_favorite(favorite)
    , m_tag(tag)
{
    updateIcon();
}

void ApplicationData::updateIcon()
{
    m_icon = ProgramIconEngine::icon(m_path);
}

QJsonObject ApplicationData::toJsonObject() const
{
    return {{QStringLiteral("name"), m_name},
            {QStringLiteral("description"), m_description},
            {QStringLiteral("path"), m_path},
            {QStringLiteral("preScript"), m_preScript},
            {QStringLiteral("favorite"), m_favorite},
            {QStringLiteral("tag"), m_tag},
            {QStringLiteral("arguments"), toJsonArray(m_arguments)},
            {QStringLiteral("environments"), toJsonArray(m_environments)}};
}

ApplicationData ApplicationData::fromJsonObject(const QJsonObject &object)
{
    return ApplicationData(
        stringValue(object, QStringLiteral("name")), stringValue(object, QStringLiteral("description")),
        stringValue(object, QStringLiteral("path")), stringValue(object, QStringLiteral("preScript")),
        listValue(object, QStringLiteral("arguments")), listValue(object, QStringLiteral("environments")),
        object.value(QStringLiteral("favorite")).toBool(), intValue(object, QStringLiteral("tag")));
}

QString ApplicationData::batchScript() const
{
    QString script;
    if (!m_preScript.isEmpty())
        script += m_preScript + QLatin1Char('\n');
    for (const VariableData &environment : m_environments)
        script += QStringLiteral("set ") + environment.name() + QLatin1Char('=') + environment.value()
            + QLatin1Char('\n');
    script += QLatin1Char('"') + m_path + QLatin1Char('"');
    for (const VariableData &argument : m_arguments) {
        script += QLatin1Char(' ') + argument.name();
        if (!argument.value().isEmpty())
            script += QLatin1Char(' ') + argument.value();
    }
    return script;
}

QString ApplicationData::batchFileName() const
{
    QString fileName = m_name;
    if (!m_description.isEmpty())
        fileName += QLatin1Char('_') + m_description;
    for (const QChar c : QStringLiteral(" \\/\"'@#%^&*:;"))
        fileName.replace(c, QLatin1Char('_'));
    return fileName + QStringLiteral(".bat");
}

bool ApplicationData::writeBatchFile(const QString &filePath) const
{
    if (!QDir().mkpath(QFileInfo(filePath).absolutePath()))
        return false;
    // Launches of one entry share its file while earlier ones may still read
    // it: the new text replaces the old whole, never half written. Where the
    // old file cannot be replaced (it is open on Windows), it is overwritten.
    QSaveFile file(filePath);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QTextStream stream(&file);
    stream << batchScript();
    stream.flush();
    // A full disk shows only here; a torn file must not count as written.
    return stream.status() == QTextStream::Ok && file.commit();
}

void registerRecordTypes()
{
    qRegisterMetaType<VariableData>("VariableData");
    qRegisterMetaTypeStreamOperators<VariableData>("VariableData");
    qRegisterMetaType<VariableDataList>("VariableDataList");
    qRegisterMetaTypeStreamOperators<VariableDataList>("VariableDataList");
    qRegisterMetaType<ApplicationData>("ApplicationData");
    qRegisterMetaTypeStreamOperators<ApplicationData>("ApplicationData");
    qRegisterMetaType<ApplicationDataList>("ApplicationDataList");
    qRegisterMetaTypeStreamOperators<ApplicationDataList>("ApplicationDataList");
}

bool parseLauncherData(const QByteArray &content, ApplicationDataList *list)
{
    list->clear();
    JsonArrayReader reader(content);
    QJsonValue value;
    while (reader.next(&value))
        list->append(ApplicationData::fromJsonObject(value.toObject()));
    if (!reader.isValid())
        list->clear();
    return reader.isValid();
}

bool readLauncherFile(const QString &fileName, ApplicationDataList *list)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray content = file.readAll();
    file.close();
    if (!parseLauncherData(content, list) && !content.trimmed().isEmpty())
        keepUnreadableCopy(fileName, content);
    return true;
}

bool writeLauncherFile(const QString &fileName, const ApplicationDataList &list)
{
    if (!QDir().mkpath(QFileInfo(fileName).absolutePath()))
        return false;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray content = QJsonDocument(toJsonArray(list)).toJson();
    if (file.write(content) != content.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QDataStream &operator<<(QDataStream &stream, const VariableData &variable)
{
    return stream << variable.name() << variable.value();
}

QDataStream &operator>>(QDataStream &stream, VariableData &variable)
{
    QString name;
    QString value;
    stream >> name >> value;
    variable.setName(name);
    variable.setValue(value);
    return stream;
}

QDataStream &operator<<(QDataStream &stream, const ApplicationData &application)
{
    return stream << application.name() << application.description() << application.path() << application.preScript()
                  << application.favorite() << application.arguments() << application.environments()
                  << qint32(application.tag());
}

QDataStream &operator>>(QDataStream &stream, ApplicationData &application)
{
    QString name;
    QString description;
    QString path;
    QString preScript;
    bool favorite = false;
    VariableDataList arguments;
    VariableDataList environments;
    qint32 tag = 0;
    stream >> name >> description >> path >> preScript >> favorite >> arguments >> environments >> tag;
    application.setName(name);
    application.setDescription(description);
    application.setPath(path);
    application.setPreScript(preScript);
    application.setFavorite(favorite);
    application.setArguments(arguments);
    application.setEnvironments(environments);
    application.setTag(tag);
    application.updateIcon();
    return stream;
}

QDataStream &operator>>(QDataStream &stream, VariableDataList &list)
{
    return readList(stream, list);
}

QDataStream &operator>>(QDataStream &stream, ApplicationDataList &list)
{
    return readList(stream, list);
}

QByteArray writeApplicationDataPayload(const ApplicationDataList &list)
{
    QByteArray payload;
    QDataStream stream(&payload, QIODevice::WriteOnly);
    for (const ApplicationData &application : list)
        stream << application;
    return payload;
}

ApplicationDataList readApplicationDataPayload(const QByteArray &payload)
{
    ApplicationDataList list;
    QDataStream stream(payload);
    while (!stream.atEnd()) {
        ApplicationData application;
        stream >> application;
        list.append(application);
    }
    return list;
}
