#include "records/recordStream.h"

#include "records/launcherFileReader.h"
#include "records/launcherFileWriter.h"

#include <QDataStream>
#include <QIODevice>

namespace {

// Other Korvanis read what a drag carries, built with another Qt maybe: the
// stream is that of Qt 5.15, whatever Qt this one is built with.
const QDataStream::Version payloadVersion = QDataStream::Qt_5_15;

template <typename Records>
QDataStream &readList(QDataStream &stream, Records &list)
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
        typename Records::value_type record;
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

} // namespace

const QString otherFieldsMimeType = QStringLiteral("application/x-korvani-other-fields");

void registerRecordTypes()
{
    qRegisterMetaType<VariableData>("VariableData");
    qRegisterMetaType<VariableDataList>("VariableDataList");
    qRegisterMetaType<ApplicationData>("ApplicationData");
    qRegisterMetaType<ApplicationDataList>("ApplicationDataList");
    // Qt 6 takes the stream operators declared with the types on its own.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    qRegisterMetaTypeStreamOperators<VariableData>("VariableData");
    qRegisterMetaTypeStreamOperators<VariableDataList>("VariableDataList");
    qRegisterMetaTypeStreamOperators<ApplicationData>("ApplicationData");
    qRegisterMetaTypeStreamOperators<ApplicationDataList>("ApplicationDataList");
#endif
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
    stream.setVersion(payloadVersion);
    for (const ApplicationData &application : list)
        stream << application;
    return payload;
}

ApplicationDataList readApplicationDataPayload(const QByteArray &payload)
{
    ApplicationDataList list;
    QDataStream stream(payload);
    stream.setVersion(payloadVersion);
    while (!stream.atEnd()) {
        ApplicationData application;
        stream >> application;
        list.append(application);
    }
    return list;
}

QByteArray writeOtherFieldsPayload(const ApplicationDataList &list)
{
    for (const ApplicationData &application : list) {
        if (!application.otherFields().isEmpty())
            return otherFieldsContent(list);
    }
    return QByteArray();
}

void readOtherFieldsPayload(const QByteArray &payload, ApplicationDataList *list)
{
    // Read as a launcher file whose entries hold other fields only.
    ApplicationDataList carriers;
    if (!parseLauncherData(payload, &carriers) || carriers.size() != list->size())
        return;
    for (int i = 0; i < list->size(); ++i)
        (*list)[i].setOtherFields(carriers.at(i).otherFields());
}
