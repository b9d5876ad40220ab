// Corvane stand-in for the ODA TD_Root library.
#include "tdroot/odstring.h"

#include <utility>

OdString::OdString(const OdChar* text)
    : m_text(text ? text : L"")
{
}

OdString::OdString(const OdChar* text, int length)
    : m_text(text && length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring())
{
}

OdString::OdString(std::wstring text)
    : m_text(std::move(text))
{
}
