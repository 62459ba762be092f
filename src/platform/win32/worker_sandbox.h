#pragma once
// The least a decoding worker needs: a process started with a restricted,
// low-integrity token, under mitigation policies, in a job that lets it start
// no other process and touch nothing of the user's desktop. A picture file
// that takes the worker over gets no more than that.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

// What a worker was started with, as far as the system accepted it when
// asked. The system may still not enforce all of it (Wine enforces little);
// the tests hold this against what the system reports.
struct WorkerSandbox {
    bool restrictedToken = false;  // every privilege but change-notify dropped, Administrators deny-only
    bool lowIntegrity = false;
    bool oneProcessJob = false;    // a job of one process, ended with the viewer
    bool uiLimits = false;         // no desktop, clipboard, global atoms, others' windows, system settings
    DWORD64 mitigations = 0;       // the process mitigation policy flags it was created with
    bool noChildProcesses = false; // the child process policy it was created with
};

// The mitigation policies asked for: no dynamic code, DLLs only signed by
// Microsoft and not from remote or low-integrity places, System32 first, no
// extension points, no fonts but the system's, strict handle checks.
DWORD64 workerMitigations();

// A job for a worker: kill on close, die on an unhandled exception, one
// process, its memory limited, the desktop's UI out of reach. Sets the job's
// fields of sandbox.
unique_handle workerJob(std::uint64_t memoryBytes, WorkerSandbox& sandbox);

// Starts exe suspended with the given handles inherited and no others, with
// the restricted token and the mitigation policies where the system takes
// them, and fills in sandbox's other fields. A worker without the restricted,
// low-integrity token is not started.
bool createWorkerProcess(const std::wstring& exe, std::wstring command, std::vector<HANDLE> inherited,
                         PROCESS_INFORMATION& process, WorkerSandbox& sandbox);

}  // namespace pictavo::platform::win32
