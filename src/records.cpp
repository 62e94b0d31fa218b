#include "records.h"

#include "jsonArrayReader.h"
#include "platform.h"
#include "programIconEngine.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>
#include <QTextCodec>

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

// Keeps the content of an unreadable launcher file under a free name beside
// it, unless an identical copy is already there. The copy's name; empty when
// none could be made.
QString keepUnreadableCopy(const QString &fileName, const QByteArray &content)
{
    for (int number = 1; number <= 100; ++number) {
        const QString copyName = fileName
            + (number == 1 ? QStringLiteral(".unreadable") : QStringLiteral(".unreadable-%1").arg(number));
        QFile copy(copyName);
        // Made new, never through something already there under that name.
        if (copy.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            const bool written = copy.write(content) == content.size() && copy.flush();
            copy.close();
            if (written)
                return copyName;
            copy.remove();
            return QString();
        }
        if (!QFileInfo(copyName).exists() && !QFileInfo(copyName).isSymLink())
            return QString();
        QByteArray existing;
        QString ignored;
        if (Platform::readRegularFile(copyName, content.size(), &existing, &ignored) && existing == content)
            return copyName;
    }
    return QString();
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

bool ApplicationData::writeBatchFile(const QString &filePath, QString *errorString) const
{
    // A folder that cannot be made shows when the file is written, with its reason.
    QDir().mkpath(QFileInfo(filePath).absolutePath());
    // Launches of one entry share its file while earlier ones may still read
    // it, and its set lines may hold secrets: replaced whole, the user's only.
    QString error;
    if (Platform::replaceFile(filePath, QTextCodec::codecForLocale()->fromUnicode(batchScript()), &error))
        return true;
    if (errorString)
        *errorString = error;
    return false;
}

QString batchArgument(const QString &word)
{
    // First as a program splits its command line: quoted when it holds blanks
    // or quotes, with the backslashes before a quote doubled and the quote
    // escaped.
    QString argument;
    if (!word.isEmpty() && !word.contains(QLatin1Char(' ')) && !word.contains(QLatin1Char('\t'))
        && !word.contains(QLatin1Char('"'))) {
        argument = word;
    } else {
        argument = QLatin1Char('"');
        int backslashes = 0;
        for (const QChar c : word) {
            if (c == QLatin1Char('\\')) {
                ++backslashes;
                continue;
            }
            argument += QString(c == QLatin1Char('"') ? 2 * backslashes + 1 : backslashes, QLatin1Char('\\')) + c;
            backslashes = 0;
        }
        argument += QString(2 * backslashes, QLatin1Char('\\')) + QLatin1Char('"');
    }
    // Then as the interpreter reads the line: every quote toggles its quoting,
    // outside which & | < > ^ act unless a caret escapes them; a batch file
    // writes a percent sign twice.
    QString line;
    bool quoted = false;
    for (const QChar c : qAsConst(argument)) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        if (c == QLatin1Char('%'))
            line += QLatin1Char('%');
        else if (!quoted && QStringLiteral("&|<>^").contains(c))
            line += QLatin1Char('^');
        line += c;
    }
    return line;
}

bool fitsBatchLine(const QString &word)
{
    for (const QChar c : word) {
        if (c.category() == QChar::Other_Control)
            return false;
    }
    return true;
}

bool fitsBatchProgramPath(const QString &path)
{
    return fitsBatchLine(path) && !path.contains(QLatin1Char('"')) && !path.contains(QLatin1Char('%'));
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

bool readLauncherFile(const QString &fileName, ApplicationDataList *list, LauncherFileProblem *problem)
{
    LauncherFileProblem found;
    if (!QFileInfo(fileName).exists())
        return false;
    QByteArray content;
    if (!Platform::readRegularFile(fileName, maxLauncherFileSize, &content, &found.reason)) {
        if (problem)
            *problem = found;
        return false;
    }
    if (!parseLauncherData(content, list) && !content.trimmed().isEmpty()) {
        found.notAList = true;
        found.copyName = keepUnreadableCopy(fileName, content);
    }
    if (problem)
        *problem = found;
    return true;
}

bool writeLauncherFile(const QString &fileName, const ApplicationDataList &list, QString *errorString)
{
    QString error;
    const QString target = Platform::saveTarget(fileName, &error);
    if (!target.isEmpty()) {
        // A folder that cannot be made shows in the open below, with its reason.
        QDir().mkpath(QFileInfo(target).absolutePath());
        QSaveFile file(target);
        if (file.open(QIODevice::WriteOnly)) {
            const QByteArray content = QJsonDocument(toJsonArray(list)).toJson();
            if (file.write(content) == content.size() && file.commit())
                return true;
        }
        error = file.errorString();
    }
    if (errorString)
        *errorString = error;
    return false;
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
