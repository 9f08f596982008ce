#include "afxresfile.h"

#include <cctype>

#include "afxresreader.h"

CResourceName::CResourceName(const char* name) : text(name) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

namespace {

CResourceName CaseFree(const CResourceName& name) {
    return name.IsNumber() ? name : CResourceName(name.text.c_str());
}

}  // namespace

std::vector<CResourceEntry> AfxReadResourceFile(std::span<const BYTE> resFile) {
    afximpl::CResourceReader reader(resFile, "resource file");
    std::vector<CResourceEntry> entries;
    while (!reader.AtEnd()) {
        const size_t start = reader.Offset();
        const DWORD dataSize = reader.Dword();
        const DWORD headerSize = reader.Dword();
        CResourceName type = CaseFree(reader.NameOrOrdinal());
        CResourceEntry entry{type, CaseFree(reader.NameOrOrdinal()), 0, {}};
        reader.AlignToDword();
        reader.Dword();  // DataVersion
        reader.Word();   // MemoryFlags
        entry.language = reader.Word();
        reader.Dword();  // Version
        reader.Dword();  // Characteristics
        if (headerSize < reader.Offset() - start || headerSize > reader.Size() - start)
            reader.Fail("has a header of " + std::to_string(headerSize) + " bytes at offset " +
                        std::to_string(start));
        reader.Seek(start + headerSize);
        entry.data = reader.Bytes(dataSize);
        reader.AlignToDword();
        const bool opensThe32BitFile =
            dataSize == 0 && entry.type == CResourceName(0u) && entry.name == CResourceName(0u);
        if (!opensThe32BitFile) entries.push_back(std::move(entry));
    }
    return entries;
}
