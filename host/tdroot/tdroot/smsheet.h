// Corvane stand-in for the ODA TD_Root library.
#pragma once

#include "tdroot_export.h"
#include "odstring.h"

namespace dst
{
// A sheet of a sheet set. The module only passes pointers to it around.
class TDROOT_EXPORT OdSmSheet
{
public:
    explicit OdSmSheet(OdString name = OdString());
    virtual ~OdSmSheet();

    const OdString& name() const { return m_name; }

private:
    OdString m_name;
};
}
