#include "afxrestable.h"

#include <algorithm>

#include "afxdlgtemplate.h"
#include "afxres.h"
#include "afxresreader.h"

namespace {

std::string Describe(const CResourceName& type, const CResourceName& name) {
    const std::string kind = type == CResourceName(RT_DIALOG)    ? "dialog"
                             : type == CResourceName(RT_STRING)  ? "string block"
                             : type == CResourceName(RT_VERSION) ? "version record"
                                                                 : "resource";
    return kind + " " + (name.IsNumber() ? std::to_string(name.number) : name.text);
}

// A string table holds 16 strings a block, each a length and as many UTF-16 units.
std::vector<std::string> ReadStringBlock(std::span<const BYTE> block, const std::string& what) {
    afximpl::CResourceReader reader(block, what);
    std::vector<std::string> strings(16);
    for (std::string& text : strings) text = reader.CountedString(reader.Word());
    return strings;
}

// How close a resource's language is to the one asked for, as Windows falls back.
int LanguageMatch(WORD language, WORD wanted) {
    if (language == wanted) return 3;
    if ((language & 0x3FF) == (wanted & 0x3FF)) return 2;
    return language == 0 ? 1 : 0;
}

}  // namespace

CResourceTable::CResourceTable(std::string moduleName) : m_moduleName(std::move(moduleName)) {}

CResourceTable::CResourceTable(std::string moduleName, std::span<const BYTE> resFile)
    : m_moduleName(std::move(moduleName)) {
    try {
        m_entries = AfxReadResourceFile(resFile);
    } catch (const CResourceFormatError& e) {
        throw CResourceFormatError(m_moduleName + ": " + e.what());
    }
    ReadEntries();
}

CResourceTable::CResourceTable(std::string moduleName, std::vector<CResourceEntry> entries)
    : m_moduleName(std::move(moduleName)), m_entries(std::move(entries)) {
    ReadEntries();
}

void CResourceTable::ReadEntries() {
    try {
        for (const CResourceEntry& entry : m_entries) {
            // Each name is read once, in the language that lookups through the chain ask for.
            if (FindResource(entry.type, entry.name) != &entry) continue;
            const std::string what = Describe(entry.type, entry.name);
            if (entry.type == CResourceName(RT_DIALOG)) {
                auto dialog =
                    std::make_shared<DLGTEMPLATEDATA>(AfxReadDialogTemplate(entry.data, what));
                dialog->language = entry.language;
                m_dialogs[entry.name] = std::move(dialog);
            } else if (entry.type == CResourceName(RT_STRING) && entry.name.IsNumber() &&
                       entry.name.number > 0) {
                const std::vector<std::string> block = ReadStringBlock(entry.data, what);
                for (UINT i = 0; i < block.size(); ++i) {
                    if (!block[i].empty()) m_strings[(entry.name.number - 1) * 16 + i] = block[i];
                }
            } else if (entry.type == CResourceName(RT_VERSION)) {
                m_version = std::make_unique<CVersionRecord>(AfxReadVersionRecord(entry.data));
            }
        }
    } catch (const CResourceFormatError& e) {
        throw CResourceFormatError(m_moduleName + ": " + e.what());
    }
}

CResourceTable::~CResourceTable() = default;

void CResourceTable::AddString(UINT id, std::string text) { m_strings[id] = std::move(text); }

void CResourceTable::AddDialog(CResourceName name, std::shared_ptr<const DLGTEMPLATEDATA> dialog) {
    m_dialogs[std::move(name)] = std::move(dialog);
}

const CResourceEntry* CResourceTable::FindResource(const CResourceName& type,
                                                   const CResourceName& name, WORD language) const {
    const CResourceEntry* best = nullptr;
    for (const CResourceEntry& entry : m_entries) {
        if (entry.type != type || entry.name != name) continue;
        if (!best ||
            LanguageMatch(entry.language, language) > LanguageMatch(best->language, language))
            best = &entry;
    }
    return best;
}

const std::string* CResourceTable::FindString(UINT id) const {
    auto it = m_strings.find(id);
    return it == m_strings.end() ? nullptr : &it->second;
}

const DLGTEMPLATEDATA* CResourceTable::FindDialog(const CResourceName& name) const {
    auto it = m_dialogs.find(name);
    return it == m_dialogs.end() ? nullptr : it->second.get();
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
