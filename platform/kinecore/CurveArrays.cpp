#include <algorithm>
#include <stdexcept>

#include "GraphWindow.h"

void CFloatArray::SetSize(int size, int /*growBy*/) {
    // std::vector grows geometrically already, which is what growBy tunes in MFC.
    m_values.resize(size > 0 ? static_cast<size_t>(size) : 0, 0.0);
    m_extentKnown = false;
}

void CFloatArray::SetAt(int index, double value) {
    double& slot = m_values.at(static_cast<size_t>(index));
    Forget(index, slot);
    slot = value;
    Widen(index, value);
}

void CFloatArray::InsertAt(int index, double value, int count) {
    if (index < 0 || count < 0) throw std::out_of_range("CFloatArray::InsertAt");
    if (index > GetSize()) {
        m_values.resize(static_cast<size_t>(index), 0.0);
        m_extentKnown = false;
    }
    m_values.insert(m_values.begin() + index, static_cast<size_t>(count), value);
    if (count > 0) Widen(index, value);
}

void CFloatArray::RemoveAt(int index, int count) {
    if (index < 0 || count < 0 || count > GetSize() - index)
        throw std::out_of_range("CFloatArray::RemoveAt");
    for (int i = index; i < index + count; ++i) Forget(i, m_values[static_cast<size_t>(i)]);
    m_values.erase(m_values.begin() + index, m_values.begin() + index + count);
}

void CFloatArray::Forget(int index, double old) {
    if (m_extentKnown && (index == 0 || !(old > m_low && old < m_high))) m_extentKnown = false;
}

void CFloatArray::Widen(int index, double value) {
    if (!m_extentKnown) return;
    if (index == 0 || value == m_low || value == m_high) {
        m_extentKnown = false;
    } else {
        m_low = std::min(m_low, value);
        m_high = std::max(m_high, value);
    }
}

bool CFloatArray::GetExtent(double& low, double& high) const {
    if (m_values.empty()) return false;
    if (!m_extentKnown) {
        m_low = m_high = m_values.front();
        for (const double value : m_values) {
            m_low = std::min(m_low, value);
            m_high = std::max(m_high, value);
        }
        m_extentKnown = true;
    }
    low = m_low;
    high = m_high;
    return true;
}

CCurveArray::~CCurveArray() {
    for (CCurve* curve : m_curves) delete curve;
}

int CCurveArray::Add(CCurve* curve) {
    m_curves.push_back(curve);
    return GetSize() - 1;
}
