// Corvane.Core tests.
#pragma once

#include <QObject>
#include <QVariantList>

namespace lum
{
class QtWindowParent;
}

namespace cvtest
{
// Answers the message boxes of the application object's dialog factory while it lives, and
// records each as a map: title, message, owner (the tag of ownerBridge()'s window or 0),
// buttons ("ok", "okcancel", "yesno", "yesnocancel") and icon ("info", "warning", "error").
class DialogRecorder : public QObject
{
    Q_OBJECT
    /// The wx identifier that every box answers; wxOK (4) unless changed.
    Q_PROPERTY(int answer MEMBER m_answer)
    /// One map per box shown, oldest first.
    Q_PROPERTY(QVariantList calls READ calls NOTIFY callsChanged)
    /// Number of boxes shown.
    Q_PROPERTY(int count READ count NOTIFY callsChanged)
    /// The owner that boxes owned by ownerBridge() record.
    Q_PROPERTY(int ownerTag READ ownerTag CONSTANT)

public:
    explicit DialogRecorder(QObject* parent = nullptr);
    ~DialogRecorder() override;

    QVariantList calls() const;
    int count() const;
    static int ownerTag();

public Q_SLOTS:
    /// A bridge whose native window is a stand-in recorded as ownerTag. Owned by the recorder.
    lum::QtWindowParent* ownerBridge();
    void clear();
    /// Deletes object at once, without waiting for the event loop.
    void destroyNow(QObject* object);

Q_SIGNALS:
    void callsChanged();

private:
    int m_answer = 4;
    QVariantList m_calls;
    lum::QtWindowParent* m_bridge = nullptr;
};
}
