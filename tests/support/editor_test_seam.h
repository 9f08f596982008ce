// The editor's inner state, which it opens to tests alone: the record, the selected point, the
// graph and its curves.
#pragma once

#include <afxwin.h>

#include "editor/EditorDlg.h"

struct CEditorDlgTestSeam {
    explicit CEditorDlgTestSeam(CDialog& dialog) : editor(static_cast<CEditorDlg&>(dialog)) {}
    operator CDialog&() const { return editor; }  // NOLINT: stands for the dialog it opens

    CEditorDlg& editor;
    CInternalData& m_Data = editor.m_Data;
    int& m_nSelPoint = editor.m_nSelPoint;
    CGraphWindow& m_Graph = editor.m_Graph;
    CCurveArray& m_Curves = editor.m_Curves;
    CGraphFilter& m_GraphFilter = editor.m_GraphFilter;
};
