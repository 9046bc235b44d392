#include "WizardState.h"

#include <cstdio>

namespace wizdriver {

const ControlState* WizardState::Control(int id) const {
    for (const ControlState& control : controls) {
        if (control.id == id)
            return &control;
    }
    return nullptr;
}

std::wstring WizardState::ControlText(int id) const {
    const ControlState* control = Control(id);
    return control ? control->text : std::wstring();
}

std::vector<const ButtonState*> WizardState::VisibleButtons() const {
    std::vector<const ButtonState*> shown;
    for (const ButtonState* button : {&back, &next, &finish, &cancel, &help}) {
        if (button->exists && button->visible)
            shown.push_back(button);
    }
    return shown;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
    return out;
}

namespace {

std::string Hex(const void* handle) {
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), "%p", handle);
    return buffer;
}

std::string DescribeButton(const char* name, const ButtonState& button) {
    std::string line = std::string("  ") + name + ": ";
    if (!button.exists)
        return line + "absent\n";
    line += button.visible ? "visible" : "hidden";
    line += button.enabled ? " enabled" : " disabled";
    if (button.isDefault)
        line += " default";
    if (button.focused)
        line += " focused";
    return line + " \"" + Utf8(button.text) + "\"\n";
}

} // namespace

std::string Describe(const WizardState& state) {
    if (!state.hwnd)
        return "no wizard\n";
    std::string out = "wizard " + Hex(state.hwnd) + " pid " + std::to_string(state.processId) +
                      " caption \"" + Utf8(state.caption) + "\"" +
                      (state.visible ? " visible" : " hidden") +
                      (state.enabled ? "" : " disabled") + "\n";
    out += "  rect " + std::to_string(state.rect.left) + " " + std::to_string(state.rect.top) +
           " " + std::to_string(state.rect.right) + " " + std::to_string(state.rect.bottom) + "\n";
    out += "  focus: " + Hex(state.focus) + "\n";
    out += DescribeButton("back", state.back);
    out += DescribeButton("next", state.next);
    out += DescribeButton("finish", state.finish);
    out += DescribeButton("cancel", state.cancel);
    out += DescribeButton("help", state.help);
    out += "  page " + std::to_string(state.pageIndex) + " " + Hex(state.page) + "\n";
    for (const ControlState& control : state.controls) {
        char head[96];
        std::snprintf(head, sizeof(head), "    id %d %s style 0x%08lx%s ", control.id,
                      Utf8(control.className).c_str(), static_cast<unsigned long>(control.style),
                      control.visible ? "" : " hidden");
        out += head + ("\"" + Utf8(control.text) + "\"\n");
    }
    if (state.progress.exists)
        out += "  progress " + std::to_string(state.progress.pos) + " in " +
               std::to_string(state.progress.low) + ".." + std::to_string(state.progress.high) +
               "\n";
    return out;
}

} // namespace wizdriver
