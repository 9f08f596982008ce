// The resource chain: every loaded module's resource table, searched newest first, the way
// MFC searches the resource handles of an application and its extension modules.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "afxtypes.h"

struct DLGTEMPLATEDATA;  // afxdlgtemplate.h

// A resource name: a number or, for named resources such as "MODULEICON", a text.
struct CResourceName {
    UINT number = 0;
    std::string text;

    CResourceName(UINT id) : number(id) {}  // NOLINT: implicit, ids are usually numbers
    CResourceName(const char* name) : text(name) {}  // NOLINT
    bool IsNumber() const { return text.empty(); }
    friend bool operator<(const CResourceName& a, const CResourceName& b) {
        if (a.IsNumber() != b.IsNumber()) return a.IsNumber();
        return a.IsNumber() ? a.number < b.number : a.text < b.text;
    }
};

enum class ResourceKind { String, Dialog, Bitmap, Version, Manifest };

// The version record of a module (VS_VERSIONINFO): the fixed versions and the string table.
struct CVersionRecord {
    WORD fileVersion[4] = {0, 0, 0, 0};
    WORD productVersion[4] = {0, 0, 0, 0};
    std::map<std::string, std::string> strings;  // "InternalName", "FileDescription", ...
};

// The resources of one module. Tables are built once (a module's compiled resource script, or a
// host's own table) and only read afterwards.
class CResourceTable {
public:
    explicit CResourceTable(std::string moduleName);
    ~CResourceTable();
    CResourceTable(const CResourceTable&) = delete;
    CResourceTable& operator=(const CResourceTable&) = delete;

    const std::string& GetModuleName() const { return m_moduleName; }

    void AddString(UINT id, std::string text);
    void AddDialog(CResourceName name, std::shared_ptr<const DLGTEMPLATEDATA> dialog);
    // Raw bytes: a bitmap file's contents, a manifest's XML.
    void AddData(ResourceKind kind, CResourceName name, std::vector<BYTE> bytes);
    void SetVersion(CVersionRecord version);

    const std::string* FindString(UINT id) const;
    const DLGTEMPLATEDATA* FindDialog(const CResourceName& name) const;
    const std::vector<BYTE>* FindData(ResourceKind kind, const CResourceName& name) const;
    const CVersionRecord* GetVersion() const { return m_version.get(); }

private:
    std::string m_moduleName;
    std::map<UINT, std::string> m_strings;
    std::map<CResourceName, std::shared_ptr<const DLGTEMPLATEDATA>> m_dialogs;
    std::map<std::pair<ResourceKind, CResourceName>, std::vector<BYTE>> m_data;
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
