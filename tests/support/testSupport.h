#ifndef KORVANI_TESTSUPPORT_H
#define KORVANI_TESTSUPPORT_H

#include <QByteArray>
#include <QIcon>
#include <QImage>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

class QAbstractItemModel;
class QWidget;

// Answers every modal dialog and popup menu that opens while it lives, so that
// no test waits for a person. The default answer closes the window; message
// boxes are recorded as "title: text".
class ModalAnswerer : public QObject
{
    Q_OBJECT

public:
    using Answer = std::function<void(QWidget *)>;
    explicit ModalAnswerer(Answer answer = Answer());

    QStringList messages() const { return m_messages; }
    int answered() const { return m_answered; }

private:
    void poll();

    Answer m_answer;
    QTimer m_timer;
    QStringList m_messages;
    int m_answered = 0;
};

// Picks the action with the given text from the next popup menu (none when the
// text matches nothing) after recording the texts the menu offered.
void chooseFromNextMenu(const QString &choice, QStringList *offered);

// Whether something asked the application to quit since the last call. Clears
// the request, so that later event loops of the test run normally.
bool takeQuitRequest();

// The data of every row's first column for the role, in row order.
QStringList rowTexts(const QAbstractItemModel *model, int role = Qt::DisplayRole);

// An icon drawn at one size, to compare icons by what they show.
QImage iconImage(const QIcon &icon, int size = 32);

// A file's whole content; empty when it cannot be read.
QByteArray readAll(const QString &fileName);

// Writes a file, creating its folder first.
void writeFile(const QString &fileName, const QByteArray &content = QByteArray());

#endif
