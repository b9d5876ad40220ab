// Corvane demo host application.
#pragma once

#include <QObject>
#include <QStringList>

class QQuickWindow;

namespace demo
{
class DemoHost;

// Drives the demo without a person: one command per line, run in order with the event loop
// turning between them. Lines starting with '#' and empty lines are skipped.
//
//   page NAME                    open a panel (layers, files, start)
//   sort PROXYCOLUMN asc|desc    sort the layer table;  unsort   back to source order
//   move FROM TO                 move a layer column (proxy columns)
//   hide SOURCECOLUMN / show SOURCECOLUMN / showall / restorepositions
//   resize PROXYCOLUMN WIDTH     set a layer column's width
//   select ROW / ctrlselect ROW / shiftselect ROW
//   expect-highlighted N         fail unless the layer table draws N rows as selected
//   expect-layer-rows N          fail unless the layer table shows N rows
//   click-header PROXYCOLUMN     click a layer header label with the mouse
//   drag-header FROM TO          drag a layer header label onto another one with the mouse
//   expect-sort PROXYCOLUMN [asc|desc]    fail unless the layer table is sorted so (-1: unsorted)
//   expect-header PROXYCOLUMN TEXT        fail unless the layer column shows the header TEXT
//   filter TEXT                  the layer filter field
//   save / load                  store or re-read the layer table's column layout
//   dump FILE                    write the layer table's column layout to FILE
//   answer yes|no|ok|cancel      answer the following message boxes through the dialog factory
//   message TYPE BUTTONS [PRESSED]
//                                open a message box (TYPE info|warning|error, BUTTONS ok|yesno|okcancel|
//                                yesnocancel); with PRESSED, fail unless that button was reported
//   dropdown open|close          the start page's drop-down panel; open fails unless a popup window opened
//   screenshot FILE              write the window to FILE
//   files expand N / files collapse N     the folder "Project N" of the file manager
//   files reload                 reset the file model (a rescan)
//   files expect-expanded N      fail unless "Project N" is expanded
//   files expect-rows N          fail unless N rows are shown (also as the ModelWatcher counts them)
//   files sort PROXYCOLUMN asc|desc       sort the files behind the busy cursor
//   files expect-sorted PROXYCOLUMN asc|desc
//   wait MILLISECONDS
//   quit
class DemoScript : public QObject
{
    Q_OBJECT

public:
    DemoScript(QQuickWindow* window, DemoHost* host, const QStringList& lines, QObject* parent = nullptr);
    ~DemoScript() override;

    void start();

Q_SIGNALS:
    /// The script ended; exitCode 0 when every command ran.
    void finished(int exitCode);

private:
    void runNext();
    bool run(const QStringList& words);
    bool call(QObject* object, const char* method, QGenericArgument a0 = QGenericArgument(),
        QGenericArgument a1 = QGenericArgument(), QGenericArgument a2 = QGenericArgument());
    bool dumpLayout(const QString& fileName);
    QObject* layerProxy() const;
    /// The centre of the layer table's header label of a column, in window coordinates; null
    /// without such a label.
    QPointF layerHeaderCentre(int column) const;
    /// Drags the left button from one point to another, as a user's hand does: press, moves, release.
    void dragMouse(const QPointF& from, const QPointF& to);

    QQuickWindow* m_window;
    DemoHost* m_host;
    QStringList m_lines;
    int m_next = 0;
    int m_failures = 0;
};

/// Saves the window's content to fileName at the window's device pixel ratio; calls done(ok).
void grabWindowTo(QQuickWindow* window, const QString& fileName, std::function<void(bool)> done);
}
