// Corvane stand-in for the ODA TD_Root library.
#pragma once

#include "tdroot_export.h"

#include <string>

using OdChar = wchar_t;

// The drawing kernel's string: wide characters, one code point per element on this platform.
class TDROOT_EXPORT OdString
{
public:
    OdString() = default;
    OdString(const OdChar* text);
    OdString(const OdChar* text, int length);
    explicit OdString(std::wstring text);

    const OdChar* c_str() const { return m_text.c_str(); }
    int getLength() const { return static_cast<int>(m_text.size()); }
    bool isEmpty() const { return m_text.empty(); }
    const std::wstring& toStdWString() const { return m_text; }

    bool operator==(const OdString& other) const { return m_text == other.m_text; }
    bool operator!=(const OdString& other) const { return m_text != other.m_text; }

private:
    std::wstring m_text;
};
