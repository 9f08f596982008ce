// The resource chain: every loaded module's resource table, searched newest first, the way
// MFC searches the resource handles of an application and its extension modules. A module's
// table reads the .res file that windres compiled from its script, the way Windows reads the
// resource section of a DLL.
#pragma once

#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "afxresfile.h"
#include "afxverinfo.h"

struct DLGTEMPLATEDATA;  // afxdlgtemplate.h

// English (United States): the language that the host's user interface asks for.
constexpr WORD kHostLanguage = 0x0409;

// The resources of one module, built once and only read afterwards.
class CResourceTable {
public:
    // The resources of a .res file, whose bytes must outlive the table. Dialogs, string tables
    // and the version record are read here, in kHostLanguage where the file has it; a malformed
    // file throws CResourceFormatError.
    CResourceTable(std::string moduleName, std::span<const BYTE> resFile);
    // The resources of a module's own resource section, as Windows finds them
    // (AfxReadModuleResources).
    CResourceTable(std::string moduleName, std::vector<CResourceEntry> entries);
    // A table that code fills: tests build their dialogs and strings this way.
    explicit CResourceTable(std::string moduleName);
    ~CResourceTable();
    CResourceTable(const CResourceTable&) = delete;
    CResourceTable& operator=(const CResourceTable&) = delete;

    void AddString(UINT id, std::string text);
    void AddDialog(CResourceName name, std::shared_ptr<const DLGTEMPLATEDATA> dialog);

    // The resource in `language` or, failing that, in the same primary language, in the neutral
    // language, or else in the first language the file holds. Null when absent.
    const CResourceEntry* FindResource(const CResourceName& type, const CResourceName& name,
                                       WORD language = kHostLanguage) const;
    const std::string* FindString(UINT id) const;
    const DLGTEMPLATEDATA* FindDialog(const CResourceName& name) const;
    const CVersionRecord* GetVersion() const { return m_version.get(); }

private:
    // Dialogs, strings and the version record from m_entries.
    void ReadEntries();

    std::string m_moduleName;
    std::vector<CResourceEntry> m_entries;
    std::map<UINT, std::string> m_strings;
    std::map<CResourceName, std::shared_ptr<const DLGTEMPLATEDATA>> m_dialogs;
    std::unique_ptr<CVersionRecord> m_version;
};

// Joins a table to the chain (searched before every table that joined earlier) and leaves it.
void AfxJoinResourceChain(const CResourceTable* table);
void AfxLeaveResourceChain(const CResourceTable* table);

// The tables in the chain, newest first: a host compares two snapshots to tell which tables a
// module brought along when it was loaded.
std::vector<const CResourceTable*> AfxGetResourceChain();

// Lookups through the chain; null when no table in the chain has the resource.
const std::string* AfxFindStringResource(UINT id);
const DLGTEMPLATEDATA* AfxFindDialogResource(const CResourceName& name);

// Keeps a module's table in the chain for as long as the object lives: a module holds one as a
// global object, so that loading the module joins the chain and unloading it leaves.
class CModuleResources {
public:
    explicit CModuleResources(const CResourceTable& table);
    ~CModuleResources();
    CModuleResources(const CModuleResources&) = delete;
    CModuleResources& operator=(const CModuleResources&) = delete;

private:
    const CResourceTable& m_table;
};
