#include "records/records.h"

#include "platform/programIconEngine.h"

const QString applicationDataMimeType = QStringLiteral("application/korvani-application-data");
const QList<int> tagValues = {HeartMark, DiamondMark, SpadeMark, KroeberMark};
const QString newEntryName = QStringLiteral("No Name");

VariableData::VariableData(const QString &name, const QString &value)
    : m_name(name)
    , m_value(value)
{
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

void ApplicationData::setPath(const QString &path)
{
    // The icon stays that of the old path.
    icon();
    m_path = path;
}

QIcon ApplicationData::icon() const
{
    if (m_icon.isNull())
        m_icon = ProgramIconEngine::icon(m_path);
    return m_icon;
}

void ApplicationData::updateIcon()
{
    m_icon = QIcon();
}

bool ApplicationData::operator==(const ApplicationData &other) const
{
    return m_name == other.m_name && m_description == other.m_description && m_path == other.m_path
        && m_preScript == other.m_preScript && m_arguments == other.m_arguments
        && m_environments == other.m_environments && m_favorite == other.m_favorite && m_tag == other.m_tag
        && m_otherFields == other.m_otherFields;
}
