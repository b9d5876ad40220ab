// Corvane.Core — QML extension module of the Corvane CAD application.
#pragma once

#include <QList>
#include <QPointer>
#include <QQuickItem>

namespace core
{
// "KeyEventFilter": keeps the listed keys away from an item and every item below it. A press of
// a listed key addressed to one of them is swallowed before the item sees it; the press is marked
// accepted or not, so that it stops there or travels on to the parent items. Coverage follows the
// QObject tree of the target at the moment of the press: items that come to live below it later
// are covered however they got there (built with their parent, below a plain object, made by a
// Loader), items that leave it are released. Key releases and all other events pass untouched.
class KeyEventFilter : public QQuickItem
{
    Q_OBJECT
    Q_CLASSINFO("QML.Element", "auto")
    /// Root of the filtered item tree; not owned. Reads null once the item is destroyed.
    Q_PROPERTY(QQuickItem* target READ target WRITE setTarget NOTIFY targetChanged)
    /// Qt key codes to swallow; empty swallows nothing.
    Q_PROPERTY(QList<int> keysCodes READ keysCodes WRITE setKeysCodes NOTIFY keysCodesChanged)
    /// Accepted flag given to every swallowed press: true (default) ends its delivery, false lets
    /// Qt Quick offer it to the parent items.
    Q_PROPERTY(bool markEventAccepted READ markEventAccepted WRITE setMarkEventAccepted NOTIFY markEventAcceptedChanged)

public:
    explicit KeyEventFilter(QQuickItem* parent = nullptr);
    ~KeyEventFilter() override;

    QQuickItem* target() const;
    QList<int> keysCodes() const;
    bool markEventAccepted() const;

    bool eventFilter(QObject* object, QEvent* event) override;

public Q_SLOTS:
    void setTarget(QQuickItem* target);
    void setKeysCodes(QList<int> target);
    void setMarkEventAccepted(bool markAccepted);

Q_SIGNALS:
    void targetChanged();
    void keysCodesChanged();
    void markEventAcceptedChanged();

private:
    bool covers(const QObject* object) const;

    QPointer<QQuickItem> m_target;
    QList<int> m_keysCodes;
    bool m_markEventAccepted = true;
};
}
