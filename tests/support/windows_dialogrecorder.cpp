// Corvane.Core tests.
#include "windows_dialogrecorder.h"

#include <harbor/hbapp.h>
#include <lumen/qtwindowparent.h>
#include <lumen/strings.h>
#include <vessel/dialogfactory.h>

#include <QQmlEngine>

#include <wx/defs.h>
#include <wx/string.h>

namespace cvtest
{
namespace
{
// Never dereferenced: boxes only pass the owner on.
char ownerStandIn;

wxWindow* fakeOwner()
{
    return reinterpret_cast<wxWindow*>(&ownerStandIn);
}

QString buttonsName(int style)
{
    const bool cancel = style & wxCANCEL;
    if (style & wxYES)
        return cancel ? QStringLiteral("yesnocancel") : QStringLiteral("yesno");
    return cancel ? QStringLiteral("okcancel") : QStringLiteral("ok");
}

QString iconName(int style)
{
    if (style & wxICON_ERROR)
        return QStringLiteral("error");
    if (style & wxICON_WARNING)
        return QStringLiteral("warning");
    if (style & wxICON_INFORMATION)
        return QStringLiteral("info");
    return QString();
}

ves::IDialogFactory* factory()
{
    return hb::HbApp::s_app ? hb::HbApp::s_app->dialogFactory() : nullptr;
}
}

DialogRecorder::DialogRecorder(QObject* parent)
    : QObject(parent)
{
    if (!factory())
        return;
    factory()->setupMessageBoxFaker([this](const wxString& message, const wxString& title, int style, wxWindow* owner) {
        QVariantMap call;
        call.insert(QStringLiteral("title"), lum::toQt(title));
        call.insert(QStringLiteral("message"), lum::toQt(message));
        call.insert(QStringLiteral("owner"), owner == fakeOwner() ? ownerTag() : owner ? -1 : 0);
        call.insert(QStringLiteral("buttons"), buttonsName(style));
        call.insert(QStringLiteral("icon"), iconName(style));
        m_calls.append(call);
        Q_EMIT callsChanged();
        return m_answer;
    });
}

DialogRecorder::~DialogRecorder()
{
    if (factory())
        factory()->unsetMessageBoxFaker();
}

QVariantList DialogRecorder::calls() const
{
    return m_calls;
}

lum::QtWindowParent* DialogRecorder::ownerBridge()
{
    if (!m_bridge) {
        m_bridge = new lum::QtWindowParent(this);
        m_bridge->setWxParent(fakeOwner());
        QQmlEngine::setObjectOwnership(m_bridge, QQmlEngine::CppOwnership);
    }
    return m_bridge;
}

int DialogRecorder::count() const
{
    return m_calls.size();
}

int DialogRecorder::ownerTag()
{
    return 4711;
}

void DialogRecorder::destroyNow(QObject* object)
{
    delete object;
}

void DialogRecorder::clear()
{
    m_calls.clear();
    Q_EMIT callsChanged();
}
}

#include "moc_windows_dialogrecorder.cpp"
