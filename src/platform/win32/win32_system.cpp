#include "platform/win32/win32_system.h"

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

std::unique_ptr<ChildProcess> Win32System::startHidden(const std::string& commandLine) {
    std::wstring line = widen(commandLine);
    line.push_back(L'\0');  // CreateProcessW may write into the buffer
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
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

void Win32System::trace(const std::string& line) { win32::trace(line); }

}  // namespace pictavo::platform::win32
