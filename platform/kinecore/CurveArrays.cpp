#include <stdexcept>

#include "GraphWindow.h"

void CFloatArray::SetSize(int size, int /*growBy*/) {
    // std::vector grows geometrically already, which is what growBy tunes in MFC.
    m_values.resize(size > 0 ? static_cast<size_t>(size) : 0, 0.0);
}

void CFloatArray::InsertAt(int index, double value, int count) {
    if (index < 0 || count < 0) throw std::out_of_range("CFloatArray::InsertAt");
    if (index > GetSize()) m_values.resize(static_cast<size_t>(index), 0.0);
    m_values.insert(m_values.begin() + index, static_cast<size_t>(count), value);
}

void CFloatArray::RemoveAt(int index, int count) {
    if (index < 0 || count < 0 || count > GetSize() - index)
        throw std::out_of_range("CFloatArray::RemoveAt");
    m_values.erase(m_values.begin() + index, m_values.begin() + index + count);
}

CCurveArray::~CCurveArray() {
    for (CCurve* curve : m_curves) delete curve;
}

int CCurveArray::Add(CCurve* curve) {
    m_curves.push_back(curve);
    return GetSize() - 1;
}
