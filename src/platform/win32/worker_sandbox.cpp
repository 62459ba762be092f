#include "platform/win32/worker_sandbox.h"

#include <sddl.h>

#include <algorithm>
#include <cstdint>
#include <memory>

#include "platform/win32/win32_trace.h"

namespace pictavo::platform::win32 {

namespace {

struct LocalFreeDeleter {
    void operator()(void* p) const { LocalFree(p); }
};
using local_sid = std::unique_ptr<void, LocalFreeDeleter>;

// Groups whose rights a worker must not use: they may only deny it access.
constexpr const wchar_t* kDenyOnlyGroups[] = {
    L"S-1-5-32-544",  // Administrators
    L"S-1-5-32-547",  // Power Users
    L"S-1-5-114",     // local account and member of Administrators
};

std::vector<unsigned char> tokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (!size || !GetTokenInformation(token, kind, buffer.data(), size, &size)) buffer.clear();
    return buffer;
}

// Every privilege of the token but change-notify, which lets a process
// traverse directories it may not list.
std::vector<LUID_AND_ATTRIBUTES> privilegesToDelete(HANDLE token) {
    const std::vector<unsigned char> buffer = tokenInformation(token, TokenPrivileges);
    std::vector<LUID_AND_ATTRIBUTES> doomed;
    if (buffer.empty()) return doomed;
    LUID changeNotify{};
    LookupPrivilegeValueW(nullptr, SE_CHANGE_NOTIFY_NAME, &changeNotify);
    const auto* held = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    for (DWORD i = 0; i < held->PrivilegeCount; ++i) {
        const LUID luid = held->Privileges[i].Luid;
        if (luid.LowPart != changeNotify.LowPart || luid.HighPart != changeNotify.HighPart)
            doomed.push_back({luid, 0});
    }
    return doomed;
}

bool inGroups(const std::vector<unsigned char>& groups, PSID sid) {
    if (groups.empty()) return false;
    const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups.data());
    for (DWORD i = 0; i < list->GroupCount; ++i)
        if (EqualSid(list->Groups[i].Sid, sid)) return true;
    return false;
}

// This process's token without its privileges, its administrative groups
// deny-only, at low integrity; null when any of that fails.
unique_handle workerToken() {
    HANDLE own = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ALL_ACCESS, &own)) return {};
    const unique_handle ownToken(own);
    const std::vector<unsigned char> groups = tokenInformation(own, TokenGroups);
    std::vector<local_sid> sids;
    std::vector<SID_AND_ATTRIBUTES> denyOnly;
    for (const wchar_t* text : kDenyOnlyGroups) {
        PSID sid = nullptr;
        if (!ConvertStringSidToSidW(text, &sid)) continue;
        sids.emplace_back(sid);
        if (inGroups(groups, sid)) denyOnly.push_back({sid, 0});
    }
    // Wine: ignores DISABLE_MAX_PRIVILEGE, but deletes the privileges named.
    std::vector<LUID_AND_ATTRIBUTES> privileges = privilegesToDelete(own);
    HANDLE restricted = nullptr;
    if (!CreateRestrictedToken(own, DISABLE_MAX_PRIVILEGE, static_cast<DWORD>(denyOnly.size()),
                               denyOnly.empty() ? nullptr : denyOnly.data(), static_cast<DWORD>(privileges.size()),
                               privileges.empty() ? nullptr : privileges.data(), 0, nullptr, &restricted))
        return {};
    unique_handle token(restricted);
    PSID low = nullptr;
    if (!ConvertStringSidToSidW(L"S-1-16-4096", &low)) return {};
    const local_sid lowSid(low);
    TOKEN_MANDATORY_LABEL label{};
    label.Label.Attributes = SE_GROUP_INTEGRITY;
    label.Label.Sid = low;
    if (!SetTokenInformation(token.get(), TokenIntegrityLevel, &label, sizeof label + GetLengthSid(low))) return {};
    return token;
}

class AttributeList {
public:
    explicit AttributeList(DWORD count) {
        SIZE_T size = 0;
        InitializeProcThreadAttributeList(nullptr, count, 0, &size);
        buffer_.resize(size);
        if (size && InitializeProcThreadAttributeList(list(), count, 0, &size)) initialized_ = true;
    }
    AttributeList(const AttributeList&) = delete;
    AttributeList& operator=(const AttributeList&) = delete;
    ~AttributeList() {
        if (initialized_) DeleteProcThreadAttributeList(list());
    }
    explicit operator bool() const { return initialized_; }
    LPPROC_THREAD_ATTRIBUTE_LIST list() { return reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data()); }
    bool add(DWORD_PTR attribute, void* value, SIZE_T size) {
        return initialized_ && UpdateProcThreadAttribute(list(), 0, attribute, value, size, nullptr, nullptr);
    }

private:
    std::vector<unsigned char> buffer_;
    bool initialized_ = false;
};

}  // namespace

DWORD64 workerMitigations() {
    return PROCESS_CREATION_MITIGATION_POLICY_PROHIBIT_DYNAMIC_CODE_ALWAYS_ON |
           PROCESS_CREATION_MITIGATION_POLICY_BLOCK_NON_MICROSOFT_BINARIES_ALWAYS_ON |
           PROCESS_CREATION_MITIGATION_POLICY_IMAGE_LOAD_NO_REMOTE_ALWAYS_ON |
           PROCESS_CREATION_MITIGATION_POLICY_IMAGE_LOAD_NO_LOW_LABEL_ALWAYS_ON |
           PROCESS_CREATION_MITIGATION_POLICY_IMAGE_LOAD_PREFER_SYSTEM32_ALWAYS_ON |
           PROCESS_CREATION_MITIGATION_POLICY_EXTENSION_POINT_DISABLE_ALWAYS_ON |
           PROCESS_CREATION_MITIGATION_POLICY_FONT_DISABLE_ALWAYS_ON |
           PROCESS_CREATION_MITIGATION_POLICY_STRICT_HANDLE_CHECKS_ALWAYS_ON;
}

unique_handle workerJob(std::uint64_t memoryBytes, WorkerSandbox& sandbox) {
    unique_handle job(CreateJobObjectW(nullptr, nullptr));
    if (!job) return job;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE |
                                              JOB_OBJECT_LIMIT_DIE_ON_UNHANDLED_EXCEPTION |
                                              JOB_OBJECT_LIMIT_ACTIVE_PROCESS | JOB_OBJECT_LIMIT_PROCESS_MEMORY;
    limits.BasicLimitInformation.ActiveProcessLimit = 1;
    limits.ProcessMemoryLimit = static_cast<SIZE_T>(std::min<std::uint64_t>(memoryBytes, SIZE_MAX));
    sandbox.oneProcessJob =
        SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);
    JOBOBJECT_BASIC_UI_RESTRICTIONS ui{};
    ui.UIRestrictionsClass = JOB_OBJECT_UILIMIT_DESKTOP | JOB_OBJECT_UILIMIT_DISPLAYSETTINGS |
                             JOB_OBJECT_UILIMIT_EXITWINDOWS | JOB_OBJECT_UILIMIT_GLOBALATOMS |
                             JOB_OBJECT_UILIMIT_HANDLES | JOB_OBJECT_UILIMIT_READCLIPBOARD |
                             JOB_OBJECT_UILIMIT_SYSTEMPARAMETERS | JOB_OBJECT_UILIMIT_WRITECLIPBOARD;
    sandbox.uiLimits = SetInformationJobObject(job.get(), JobObjectBasicUIRestrictions, &ui, sizeof ui);
    return job;
}

bool createWorkerProcess(const std::wstring& exe, std::wstring command, std::vector<HANDLE> inherited,
                         PROCESS_INFORMATION& process, WorkerSandbox& sandbox) {
    const unique_handle token = workerToken();
    if (!token) {
        trace("decoding worker not started: no restricted token, error " + std::to_string(GetLastError()));
        return false;
    }
    sandbox.restrictedToken = sandbox.lowIntegrity = true;
    // No console: a console program's console host would be a second
    // process in a job that allows one.
    constexpr DWORD kFlags = CREATE_SUSPENDED | DETACHED_PROCESS;
    // The policies go as far as this system takes them: an older one refuses
    // the child process policy, or some of the mitigation flags.
    struct Try {
        DWORD64 mitigations;
        bool noChildProcesses;
    };
    for (const Try attempt : {Try{workerMitigations(), true}, Try{workerMitigations(), false}, Try{0, false}}) {
        AttributeList attributes(3);
        DWORD64 mitigations = attempt.mitigations;
        DWORD childPolicy = PROCESS_CREATION_CHILD_PROCESS_RESTRICTED;
        if (!attributes.add(PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited.data(), inherited.size() * sizeof(HANDLE)))
            break;
        if (mitigations && !attributes.add(PROC_THREAD_ATTRIBUTE_MITIGATION_POLICY, &mitigations, sizeof mitigations))
            continue;
        if (attempt.noChildProcesses &&
            !attributes.add(PROC_THREAD_ATTRIBUTE_CHILD_PROCESS_POLICY, &childPolicy, sizeof childPolicy))
            continue;
        STARTUPINFOEXW startup{};
        startup.StartupInfo.cb = sizeof startup;
        startup.lpAttributeList = attributes.list();
        std::wstring line = command;
        if (CreateProcessAsUserW(token.get(), exe.c_str(), line.data(), nullptr, nullptr, TRUE,
                                 kFlags | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr, &startup.StartupInfo,
                                 &process)) {
            sandbox.mitigations = mitigations;
            sandbox.noChildProcesses = attempt.noChildProcesses;
            return true;
        }
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessAsUserW(token.get(), exe.c_str(), command.data(), nullptr, nullptr, TRUE, kFlags, nullptr,
                                nullptr, &startup, &process);
}

}  // namespace pictavo::platform::win32
