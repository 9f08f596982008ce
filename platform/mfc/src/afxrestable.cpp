#include "afxrestable.h"

#include <algorithm>

#include "afxdlgtemplate.h"

CResourceTable::CResourceTable(std::string moduleName) : m_moduleName(std::move(moduleName)) {}
CResourceTable::~CResourceTable() = default;

void CResourceTable::AddString(UINT id, std::string text) { m_strings[id] = std::move(text); }

void CResourceTable::AddDialog(CResourceName name, std::shared_ptr<const DLGTEMPLATEDATA> dialog) {
    m_dialogs[std::move(name)] = std::move(dialog);
}

void CResourceTable::AddData(ResourceKind kind, CResourceName name, std::vector<BYTE> bytes) {
    m_data[{kind, std::move(name)}] = std::move(bytes);
}

void CResourceTable::SetVersion(CVersionRecord version) {
    m_version = std::make_unique<CVersionRecord>(std::move(version));
}

const std::string* CResourceTable::FindString(UINT id) const {
    auto it = m_strings.find(id);
    return it == m_strings.end() ? nullptr : &it->second;
}

const DLGTEMPLATEDATA* CResourceTable::FindDialog(const CResourceName& name) const {
    auto it = m_dialogs.find(name);
    return it == m_dialogs.end() ? nullptr : it->second.get();
}

const std::vector<BYTE>* CResourceTable::FindData(ResourceKind kind,
                                                  const CResourceName& name) const {
    auto it = m_data.find({kind, name});
    return it == m_data.end() ? nullptr : &it->second;
}

namespace {

// Newest first. Modules join and leave on the loading thread only.
std::vector<const CResourceTable*>& Chain() {
    static std::vector<const CResourceTable*> chain;
    return chain;
}

}  // namespace

void AfxJoinResourceChain(const CResourceTable* table) {
    if (table) Chain().insert(Chain().begin(), table);
}

void AfxLeaveResourceChain(const CResourceTable* table) {
    auto& chain = Chain();
    chain.erase(std::remove(chain.begin(), chain.end(), table), chain.end());
}

std::vector<const CResourceTable*> AfxGetResourceChain() { return Chain(); }

const std::string* AfxFindStringResource(UINT id) {
    for (const CResourceTable* table : Chain()) {
        if (const std::string* text = table->FindString(id)) return text;
    }
    return nullptr;
}

const DLGTEMPLATEDATA* AfxFindDialogResource(const CResourceName& name) {
    for (const CResourceTable* table : Chain()) {
        if (const DLGTEMPLATEDATA* dialog = table->FindDialog(name)) return dialog;
    }
    return nullptr;
}

CModuleResources::CModuleResources(const CResourceTable& table) : m_table(table) {
    AfxJoinResourceChain(&m_table);
}

CModuleResources::~CModuleResources() { AfxLeaveResourceChain(&m_table); }
