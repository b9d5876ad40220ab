// Corvane stand-in for the ODA TD_Root library.
#include "tdroot/smsheet.h"

#include <utility>

namespace dst
{
OdSmSheet::OdSmSheet(OdString name)
    : m_name(std::move(name))
{
}

OdSmSheet::~OdSmSheet() = default;
}
