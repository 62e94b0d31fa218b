#include "mainWindow/interfaceFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

#include <algorithm>

namespace {

// The family of the cards' texts, which few Linux systems have.
const QString cardFamily = QStringLiteral("Corbel");

// Sans-serif faces first: the desktop's default is one.
bool isSansSerif(const QString &family)
{
    return family.contains(QLatin1String("Sans"), Qt::CaseInsensitive)
        || family.contains(QLatin1String("Gothic"), Qt::CaseInsensitive) || family.contains(QStringLiteral("ゴシック"));
}

} // namespace

bool hasProportionalLatin(const QFont &font)
{
    const QFontMetrics metrics(font);
    return metrics.horizontalAdvance(QLatin1Char('i')) != metrics.horizontalAdvance(QLatin1Char('W'));
}

void useProportionalLatinFont()
{
    QFont font = QApplication::font();
    if (hasProportionalLatin(font))
        return;
    const QFontDatabase database;
    const QString current = QFontInfo(font).family();
    const QList<QFontDatabase::WritingSystem> scripts = database.writingSystems(current);
    QStringList families = database.families();
    std::stable_partition(families.begin(), families.end(), isSansSerif);
    for (const QString &family : qAsConst(families)) {
        if (family == current || database.isFixedPitch(family) || !database.isSmoothlyScalable(family))
            continue;
        const QList<QFontDatabase::WritingSystem> offered = database.writingSystems(family);
        if (!std::all_of(scripts.begin(), scripts.end(),
                         [&offered](QFontDatabase::WritingSystem script) { return offered.contains(script); }))
            continue;
        font.setFamily(family);
        if (!hasProportionalLatin(font))
            continue;
        QApplication::setFont(font);
        QFont::insertSubstitution(cardFamily, family);
        return;
    }
}
