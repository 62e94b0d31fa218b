#ifndef KORVANI_TRANSLATIONS_H
#define KORVANI_TRANSLATIONS_H

#include <QTranslator>

class QLocale;

// The catalogues of the user's language, installed while this lives: the
// program's own, compiled in, and Qt's, which translates its file dialogs and
// the standard buttons of message boxes. A language without a catalogue stays
// English.
class Translations
{
public:
    explicit Translations(const QLocale &locale);
    ~Translations();
    Translations(const Translations &) = delete;
    Translations &operator=(const Translations &) = delete;

    bool hasQtCatalogue() const { return !m_qt.isEmpty(); }

private:
    QTranslator m_program;
    QTranslator m_qt;
};

#endif
