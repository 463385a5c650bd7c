#include "OrganicSkin.h"

#include "MaskRegion.h"

void TOrganicSkin::calculateRegion()
{
    ++m_calculations;
    if (isEmpty()) {
        m_workRegion = QRegion();
        return;
    }
    m_workRegion = maskRegion(*this, m_invisibleColor);
    m_region = m_workRegion;
    m_hasRegion = true;
}

QRegion TOrganicSkin::getRegion()
{
    if (!m_hasRegion) {
        m_region = m_workRegion;
        m_hasRegion = true;
    }
    m_workRegion = m_region;
    return m_workRegion;
}

void TOrganicSkin::Changed()
{
    ++m_generation;
    calculateRegion();
    if (OnChange)
        OnChange();
}
