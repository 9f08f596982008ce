#include "GraphWindow.h"

CGraphFilter::~CGraphFilter() {
    for (CXYCurve* curve : m_xyCurves) delete curve;
}

int CGraphFilter::Add(CXYCurve* curve) {
    m_xyCurves.push_back(curve);
    return GetCount() - 1;
}
