#include "PackResources.h"

#include <utility>
#include <vector>

namespace blackbox {

namespace {

class DataModule {
public:
    explicit DataModule(const std::wstring& path)
        : m_module(LoadLibraryExW(path.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
        if (!m_module)
            m_module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    DataModule(const DataModule&) = delete;
    DataModule& operator=(const DataModule&) = delete;
    ~DataModule() {
        if (m_module)
            FreeLibrary(m_module);
    }
    HMODULE Get() const { return m_module; }

private:
    HMODULE m_module;
};

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

struct IconResource {
    WORD language;
    std::vector<WORD> images;
};

std::vector<IconResource> IconGroupParts(HMODULE module, UINT id) {
    std::vector<WORD> languages;
    EnumResourceLanguagesW(module, RT_GROUP_ICON, MAKEINTRESOURCEW(id), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    std::vector<IconResource> parts;
    for (WORD language : languages) {
        IconResource part{language, {}};
        HRSRC found = FindResourceExW(module, RT_GROUP_ICON, MAKEINTRESOURCEW(id), language);
        HGLOBAL data = found ? LoadResource(module, found) : nullptr;
        const auto* header =
            data ? static_cast<const GroupIconHeader*>(LockResource(data)) : nullptr;
        if (header && SizeofResource(module, found) >= sizeof(GroupIconHeader)) {
            const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
            for (WORD i = 0; i < header->count; ++i)
                part.images.push_back(entries[i].id);
        }
        parts.push_back(part);
    }
    return parts;
}

} // namespace

std::wstring ModuleString(const std::wstring& path, UINT id, bool* found) {
    DataModule module(path);
    std::vector<wchar_t> buffer(8192, L'\0');
    const int length =
        module.Get() ? LoadStringW(module.Get(), id, buffer.data(), static_cast<int>(buffer.size()))
                     : 0;
    if (found)
        *found = length > 0;
    return std::wstring(buffer.data(), length > 0 ? static_cast<size_t>(length) : 0);
}

bool HasIconGroup(const std::wstring& path, UINT id) {
    DataModule module(path);
    return module.Get() && FindResourceW(module.Get(), MAKEINTRESOURCEW(id), RT_GROUP_ICON);
}

bool RemoveIconGroup(const std::wstring& path, UINT id) {
    std::vector<IconResource> parts;
    {
        DataModule module(path);
        if (!module.Get())
            return false;
        parts = IconGroupParts(module.Get(), id);
    }
    HANDLE update = BeginUpdateResourceW(path.c_str(), FALSE);
    if (!update)
        return false;
    bool ok = true;
    for (const IconResource& part : parts) {
        ok = UpdateResourceW(update, RT_GROUP_ICON, MAKEINTRESOURCEW(id), part.language, nullptr,
                             0) &&
             ok;
        for (WORD image : part.images)
            ok = UpdateResourceW(update, RT_ICON, MAKEINTRESOURCEW(image), part.language, nullptr,
                                 0) &&
                 ok;
    }
    return EndUpdateResourceW(update, !ok) && ok && !HasIconGroup(path, id);
}

} // namespace blackbox
