#include "mainWindow/translations.h"

#include "platform/platform.h"

#include <QCoreApplication>
#include <QLocale>

Translations::Translations(const QLocale &locale)
{
    if (m_program.load(QStringLiteral(":/i18n/") + locale.name()))
        QCoreApplication::installTranslator(&m_program);
    // Qt's catalogue for the base module alone: the program uses no other.
    if (m_qt.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), Platform::qtTranslationsFolder()))
        QCoreApplication::installTranslator(&m_qt);
}

Translations::~Translations()
{
    QCoreApplication::removeTranslator(&m_qt);
    QCoreApplication::removeTranslator(&m_program);
}
