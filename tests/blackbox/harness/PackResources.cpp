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

// A resource name or type: a number or a string.
struct ResourceKey {
    std::wstring text;
    WORD number = 0;

    explicit ResourceKey(LPCWSTR key) {
        if (IS_INTRESOURCE(key))
            number = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(key));
        else
            text = key;
    }
    LPCWSTR Get() const { return text.empty() ? MAKEINTRESOURCEW(number) : text.c_str(); }
    bool Is(LPCWSTR other) const {
        return text.empty() && IS_INTRESOURCE(other) &&
               number == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(other));
    }
};

struct Resource {
    ResourceKey type, name;
    WORD language;
    std::vector<BYTE> data;
};

struct Collector {
    HMODULE module;
    std::vector<Resource> resources;
};

BOOL CALLBACK CollectLanguage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language,
                              LONG_PTR param) {
    auto* collector = reinterpret_cast<Collector*>(param);
    HRSRC found = FindResourceExW(module, type, name, language);
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const BYTE* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    const DWORD size = found ? SizeofResource(module, found) : 0;
    Resource resource{ResourceKey(type), ResourceKey(name), language, {}};
    if (bytes)
        resource.data.assign(bytes, bytes + size);
    collector->resources.push_back(resource);
    return TRUE;
}

BOOL CALLBACK CollectName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    return EnumResourceLanguagesW(module, type, name, CollectLanguage, param) || TRUE;
}

BOOL CALLBACK CollectType(HMODULE module, LPWSTR type, LONG_PTR param) {
    return EnumResourceNamesW(module, type, CollectName, param) || TRUE;
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

// Images that icon group id names, in any language.
std::vector<WORD> IconImagesOf(const std::vector<Resource>& resources, UINT id) {
    std::vector<WORD> images;
    for (const Resource& resource : resources) {
        if (!resource.type.Is(RT_GROUP_ICON) || !resource.name.Is(MAKEINTRESOURCEW(id)) ||
            resource.data.size() < sizeof(GroupIconHeader))
            continue;
        const auto* header = reinterpret_cast<const GroupIconHeader*>(resource.data.data());
        const auto* entries = reinterpret_cast<const GroupIconEntry*>(header + 1);
        for (WORD i = 0;
             i < header->count &&
             sizeof(GroupIconHeader) + (i + 1u) * sizeof(GroupIconEntry) <= resource.data.size();
             ++i)
            images.push_back(entries[i].id);
    }
    return images;
}

bool IsPartOfIcon(const Resource& resource, UINT id, const std::vector<WORD>& images) {
    if (resource.type.Is(RT_GROUP_ICON))
        return resource.name.Is(MAKEINTRESOURCEW(id));
    if (!resource.type.Is(RT_ICON))
        return false;
    for (WORD image : images) {
        if (resource.name.Is(MAKEINTRESOURCEW(image)))
            return true;
    }
    return false;
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

// Rewrites the module's resources without the icon: removing single
// entries in place is not dependable on every platform, adding them is.
bool RemoveIconGroup(const std::wstring& path, UINT id, std::string* error) {
    auto fail = [&](const char* step) {
        if (error)
            *error = std::string(step) + " failed, error " + std::to_string(GetLastError());
        return false;
    };
    Collector collector{nullptr, {}};
    {
        DataModule module(path);
        if (!module.Get())
            return fail("loading the module");
        collector.module = module.Get();
        EnumResourceTypesW(module.Get(), CollectType, reinterpret_cast<LONG_PTR>(&collector));
    }
    const std::vector<WORD> images = IconImagesOf(collector.resources, id);
    if (images.empty())
        return fail("finding the icon group");
    HANDLE update = BeginUpdateResourceW(path.c_str(), TRUE);
    if (!update)
        return fail("BeginUpdateResource");
    for (Resource& resource : collector.resources) {
        if (IsPartOfIcon(resource, id, images))
            continue;
        if (!UpdateResourceW(update, resource.type.Get(), resource.name.Get(), resource.language,
                             resource.data.data(), static_cast<DWORD>(resource.data.size()))) {
            EndUpdateResourceW(update, TRUE);
            return fail("writing a resource back");
        }
    }
    if (!EndUpdateResourceW(update, FALSE))
        return fail("EndUpdateResource");
    return !HasIconGroup(path, id) || fail("checking the edited module");
}

} // namespace blackbox
