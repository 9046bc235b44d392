// What a module file's dialog template says, read without running the
// module: the expected texts come from the very file the program loads.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace startup {

struct DialogTemplate {
    bool found = false;
    std::wstring caption;
    // Text of every control whose text is a string (pictures name a number
    // instead and are left out), in template order.
    std::vector<std::wstring> texts;

    // Reads classic template id of the module at path; found is false when
    // the module or the template is missing or the template is not classic.
    static DialogTemplate Read(const std::wstring& path, UINT id);
};

} // namespace startup
