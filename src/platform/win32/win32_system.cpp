#include "platform/win32/win32_system.h"

#include <algorithm>
#include <vector>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_trace.h"

namespace pictavo::platform::win32 {

namespace {

class Win32ChildProcess final : public ChildProcess {
public:
    explicit Win32ChildProcess(unique_handle process) : process_(std::move(process)) {}
    bool running() override { return WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

private:
    unique_handle process_;
};

// This program's environment with the variables set on top, as the block that
// CreateProcessW takes: "name=value" strings sorted by name without regard to
// case, each ended by a null, and a null after the last.
std::wstring environmentBlock(const EnvironmentVariables& variables) {
    // Entries such as "=C:=C:\dir" start with their separator.
    auto nameOf = [](const std::wstring& entry) { return entry.substr(0, entry.find(L'=', 1)); };
    auto compare = [&](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(nameOf(a).c_str(), -1, nameOf(b).c_str(), -1, TRUE);
    };
    std::vector<std::wstring> entries;
    for (const auto& [name, value] : variables) entries.push_back(widen(name) + L"=" + widen(value));
    const auto set = static_cast<std::ptrdiff_t>(entries.size());
    if (wchar_t* own = GetEnvironmentStringsW()) {
        for (const wchar_t* at = own; *at; at += wcslen(at) + 1) {
            const std::wstring entry = at;
            if (std::none_of(entries.begin(), entries.begin() + set,
                             [&](const std::wstring& e) { return compare(e, entry) == CSTR_EQUAL; }))
                entries.push_back(entry);
        }
        FreeEnvironmentStringsW(own);
    }
    std::sort(entries.begin(), entries.end(),
              [&](const std::wstring& a, const std::wstring& b) { return compare(a, b) == CSTR_LESS_THAN; });
    std::wstring block;
    for (const std::wstring& entry : entries) block += entry + L'\0';
    return block + L'\0';
}

}  // namespace

std::wstring argumentsOf(const std::wstring& commandLine) {
    // The rule of the C runtime's start-up code, which gives WinMain its
    // command line: a quoted name ends at its closing quote, a plain one at
    // the first blank or control character.
    std::size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == L'"') {
        const std::size_t close = commandLine.find(L'"', 1);
        i = close == std::wstring::npos ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] > L' ') ++i;
    }
    while (i < commandLine.size() && commandLine[i] <= L' ') ++i;
    return commandLine.substr(i);
}

bool Win32System::anotherInstanceRunning() {
    if (!instanceChecked_) {
        instanceChecked_ = true;
        instanceMutex_.reset(CreateMutexW(nullptr, FALSE, L"Local\\Corvane.Pictavo.Instance"));
        otherInstance_ = instanceMutex_ && GetLastError() == ERROR_ALREADY_EXISTS;
    }
    return otherInstance_;
}

void Win32System::beep() { MessageBeep(MB_OK); }

std::string Win32System::commandLineArgs() {
    const wchar_t* line = GetCommandLineW();
    return narrow(argumentsOf(line ? line : L""));
}

std::string Win32System::environment(const std::string& name) {
    const std::wstring wideName = widen(name);
    std::vector<wchar_t> buffer(256);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length =
            GetEnvironmentVariableW(wideName.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(length);
    }
}

std::unique_ptr<ChildProcess> Win32System::startHidden(const std::string& commandLine,
                                                       const EnvironmentVariables& variables) {
    std::wstring line = widen(commandLine);
    line.push_back(L'\0');  // CreateProcessW may write into the buffer
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    std::wstring environment = variables.empty() ? std::wstring() : environmentBlock(variables);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.empty() ? nullptr : environment.data(), nullptr, &startup, &info))
        return nullptr;
    unique_handle thread(info.hThread);
    return std::make_unique<Win32ChildProcess>(unique_handle(info.hProcess));
}

std::string Win32System::oemToUtf8(const std::string& oem) { return narrow(fromCodePage(CP_OEMCP, oem)); }

std::optional<std::string> Win32System::utf8ToOem(const std::string& utf8) {
    const std::wstring wide = widen(utf8);
    if (wide.empty()) return std::string();
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) return std::nullopt;
    std::string result(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), result.data(),
                        length, nullptr, &lossy);
    if (lossy) return std::nullopt;
    return result;
}

void Win32System::keepDisplayOn(bool on) {
    const EXECUTION_STATE state = on ? ES_CONTINUOUS | ES_DISPLAY_REQUIRED : ES_CONTINUOUS;
    if (!SetThreadExecutionState(state))
        trace(on ? "the display could not be kept on" : "the display could not be let go");
}

void Win32System::trace(const std::string& line) { win32::trace(line); }

}  // namespace pictavo::platform::win32
