#include "afxverinfo.h"

#include <algorithm>

#include "afxresreader.h"

namespace {

// One node of the record: a key, a value, and children up to `end`.
struct VersionNode {
    std::string key;
    WORD type = 0;  // 1: the value is text
    std::span<const BYTE> value;
    size_t end = 0;
};

VersionNode ReadNode(afximpl::CResourceReader& reader, size_t parentEnd) {
    const size_t start = reader.Offset();
    VersionNode node;
    const WORD length = reader.Word();
    const WORD valueLength = reader.Word();
    node.type = reader.Word();
    if (length < 6 || length > parentEnd - start)
        reader.Fail("has a block of " + std::to_string(length) + " bytes at offset " +
                    std::to_string(start));
    node.end = start + length;
    node.key = reader.String();
    reader.AlignToDword();
    // A text's length counts UTF-16 units; the text is read up to its terminator below.
    const size_t valueBytes = node.type == 1 ? size_t{valueLength} * 2 : valueLength;
    node.value = reader.Bytes(std::min(valueBytes, node.end - std::min(node.end, reader.Offset())));
    reader.AlignToDword();
    return node;
}

// Calls `visit` for each child of a node whose children start at the reader's offset.
template <typename Visit>
void ForEachChild(afximpl::CResourceReader& reader, size_t end, Visit visit) {
    while (reader.Offset() < end) {
        VersionNode child = ReadNode(reader, end);
        visit(child);
        reader.Seek(child.end);
        reader.AlignToDword();
    }
}

std::string TextValue(const VersionNode& node) {
    afximpl::CResourceReader text(node.value, "version text " + node.key);
    std::string value;
    if (!node.value.empty()) value = text.CountedString(node.value.size() / 2);
    return value.substr(0, value.find('\0'));
}

}  // namespace

CVersionRecord AfxReadVersionRecord(std::span<const BYTE> record) {
    afximpl::CResourceReader reader(record, "version record");
    VersionNode root = ReadNode(reader, record.size());
    if (root.key != "VS_VERSION_INFO" || root.value.size() < 52)
        reader.Fail("is not a VS_VERSION_INFO with a fixed part");
    afximpl::CResourceReader fixed(root.value, "version record's fixed part");
    if (fixed.Dword() != 0xFEEF04BD) fixed.Fail("lacks the signature 0xFEEF04BD");
    fixed.Dword();  // structure version
    CVersionRecord version;
    for (WORD* parts : {version.fileVersion, version.productVersion}) {
        const DWORD high = fixed.Dword(), low = fixed.Dword();
        parts[0] = static_cast<WORD>(high >> 16);
        parts[1] = static_cast<WORD>(high);
        parts[2] = static_cast<WORD>(low >> 16);
        parts[3] = static_cast<WORD>(low);
    }
    bool haveTable = false;
    ForEachChild(reader, root.end, [&](const VersionNode& info) {
        if (info.key != "StringFileInfo") return;
        ForEachChild(reader, info.end, [&](const VersionNode& table) {
            const bool first = !haveTable;
            haveTable = true;
            ForEachChild(reader, table.end, [&](const VersionNode& value) {
                if (first) version.strings[value.key] = TextValue(value);
            });
        });
    });
    return version;
}
