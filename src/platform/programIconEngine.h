#ifndef KORVANI_PROGRAMICONENGINE_H
#define KORVANI_PROGRAMICONENGINE_H

#include <QIcon>
#include <QIconEngine>
#include <QString>

// The icon of a program, looked up only when it is first drawn, so that a
// long launcher file costs no lookups at start. What a lookup finds is kept
// per program path and shared by every entry of that program; a program that
// appears or disappears is looked up again, and so is every program drawn
// before the desktop entries of the system had been read.
class ProgramIconEngine : public QIconEngine
{
public:
    // An icon that will show the program at the path.
    static QIcon icon(const QString &path);

    // From now on the program at the path shows this icon, as a dropped
    // desktop entry asks for its own.
    static void remember(const QString &path, const QIcon &icon);

    explicit ProgramIconEngine(const QString &path);

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override;
    // Qt 6 took the const off these two.
#if QT_VERSION < QT_VERSION_CHECK(6, 0, 0)
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) const override;
    QString iconName() const override;
#else
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override;
    QString iconName() override;
#endif
    QString key() const override;
    QIconEngine *clone() const override;
    void virtual_hook(int id, void *data) override;

private:
    const QIcon &resolved() const;

    QString m_path;
    mutable QIcon m_icon;
    mutable bool m_resolved = false;
    mutable bool m_provisional = false;
};

#endif
