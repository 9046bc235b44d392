#include "DialogTemplate.h"

namespace startup {

namespace {

// Walks the WORD stream of a template, never past its end.
class WordReader {
public:
    WordReader(const BYTE* data, DWORD size)
        : m_words(reinterpret_cast<const WORD*>(data)), m_count(size / sizeof(WORD)) {}

    bool Failed() const { return m_failed; }
    WORD Next() {
        if (m_at >= m_count) {
            m_failed = true;
            return 0;
        }
        return m_words[m_at++];
    }
    DWORD NextDword() {
        const DWORD low = Next();
        return low | (static_cast<DWORD>(Next()) << 16);
    }
    void Skip(size_t words) {
        for (size_t i = 0; i < words; ++i)
            Next();
    }
    void AlignToDword() {
        if (m_at % 2)
            Next();
    }
    std::wstring String() {
        std::wstring text;
        for (WORD c = Next(); c != 0 && !m_failed; c = Next())
            text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    // A name or ordinal field; an ordinal gives an empty text and ordinal set.
    std::wstring NameOrOrdinal(bool* isOrdinal) {
        const WORD first = Next();
        *isOrdinal = first == 0xFFFF;
        if (first == 0xFFFF) {
            Next();
            return std::wstring();
        }
        if (first == 0)
            return std::wstring();
        std::wstring text(1, static_cast<wchar_t>(first));
        return text + String();
    }

private:
    const WORD* m_words;
    size_t m_count;
    size_t m_at = 0;
    bool m_failed = false;
};

class DataModule {
public:
    explicit DataModule(const std::wstring& path)
        : m_module(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
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

bool ParseClassic(WordReader& in, DialogTemplate& out) {
    const DWORD style = in.NextDword();
    if (style == 0xFFFF0001) // the extended form starts with dlgVer 1, signature 0xFFFF
        return false;
    in.NextDword(); // extended style
    const WORD controls = in.Next();
    in.Skip(4); // x, y, cx, cy
    bool ordinal = false;
    in.NameOrOrdinal(&ordinal); // menu
    in.NameOrOrdinal(&ordinal); // window class
    out.caption = in.String();
    if (style & DS_SETFONT) {
        in.Next();
        in.String();
    }
    for (WORD i = 0; i < controls && !in.Failed(); ++i) {
        in.AlignToDword();
        in.Skip(2 + 2 + 4 + 1);     // style, extended style, x y cx cy, id
        in.NameOrOrdinal(&ordinal); // class
        const std::wstring text = in.NameOrOrdinal(&ordinal);
        if (!ordinal)
            out.texts.push_back(text);
        in.Skip(in.Next() / sizeof(WORD)); // creation data
    }
    return !in.Failed();
}

} // namespace

DialogTemplate DialogTemplate::Read(const std::wstring& path, UINT id) {
    DialogTemplate result;
    DataModule module(path);
    if (!module.Get())
        return result;
    HRSRC found = FindResourceW(module.Get(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(5));
    HGLOBAL loaded = found ? LoadResource(module.Get(), found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return result;
    WordReader in(data, SizeofResource(module.Get(), found));
    result.found = ParseClassic(in, result);
    return result;
}

} // namespace startup
