// Decoding in a worker process: a worker that crashes, hangs, eats memory or
// is cancelled costs one picture, and the next picture decodes. This test
// program is its own worker (main below); pictures named for a misbehaviour
// make it misbehave.

#include <gtest/gtest.h>
#include <objbase.h>
#include <sddl.h>
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/decode_channel.h"
#include "platform/win32/decode_worker.h"
#include "platform/win32/isolated_decoder.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/win32_files.h"
#include "test_support.h"

namespace pictavo::platform::win32 {
namespace {

bool endsWith(const std::string& text, const char* end) {
    const std::size_t n = std::strlen(end);
    return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

// A worker taken over by its picture: it answers sizes out of every bound, or
// for another request, or keeps changing its answer while the viewer reads it.
bool lie(const std::string& path, const Canvas& canvas) {
    auto* pixels = static_cast<std::uint8_t*>(canvas(2, 2, 2, 2));
    if (!pixels) return false;
    auto* answer = &std::launder(reinterpret_cast<DecodeChannel*>(pixels - kChannelPixelsOffset))->answer;
    if (endsWith(path, "liar-bitmap.bmp")) answer->bitmapWidth = answer->bitmapHeight = 100000;
    if (endsWith(path, "liar-natural.bmp")) answer->naturalWidth = INT_MAX;
    if (endsWith(path, "liar-request.bmp")) answer->request += 1;
    if (endsWith(path, "liar-changing.bmp")) {
        std::thread([answer] {
            for (std::int32_t i = 0;; ++i) {
                static_cast<volatile std::int32_t&>(answer->bitmapWidth) = i % 2 ? 2 : 40000;
                static_cast<volatile std::int32_t&>(answer->bitmapHeight) = i % 2 ? 2 : 40000;
            }
        }).detach();
    }
    return true;
}

// The picture's name, for the test worker only: the real one never needs it.
std::string nameOf(HANDLE file) {
    wchar_t name[MAX_PATH * 2] = {};
    const DWORD length = GetFinalPathNameByHandleW(file, name, MAX_PATH * 2, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= MAX_PATH * 2) return {};
    return std::string(name, name + length);  // the names here are ASCII
}

// What a worker taken over by its picture tries, as bits of the answer's width.
enum Escape : int {
    kStartedAProgram = 1,
    kWroteAFile = 2,
    kOpenedTheViewerForWriting = 4,
    kReopenedThePictureByName = 8,
};

// The picture holds the viewer's process id.
int tryToEscape(HANDLE file, const std::string& name) {
    char text[32] = {};
    DWORD read = 0;
    OVERLAPPED start{};  // the header was read already
    ReadFile(file, text, sizeof text - 1, &read, &start);
    int escaped = 0;
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" " + kDecodeWorkerSwitch + L" x x x x x";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    if (CreateProcessW(exe, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &child)) {
        escaped |= kStartedAProgram;
        WaitForSingleObject(child.hProcess, 5000);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    const std::wstring wide(name.begin(), name.end());
    const HANDLE written = CreateFileW((wide + L".written").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (written != INVALID_HANDLE_VALUE) {
        escaped |= kWroteAFile;
        CloseHandle(written);
    }
    const DWORD viewerId = std::strtoul(text, nullptr, 10);
    if (const HANDLE viewer = OpenProcess(PROCESS_VM_WRITE | PROCESS_VM_OPERATION, FALSE, viewerId)) {
        escaped |= kOpenedTheViewerForWriting;
        CloseHandle(viewer);
    }
    const HANDLE again = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr);
    if (again != INVALID_HANDLE_VALUE) {
        escaped |= kReopenedThePictureByName;
        CloseHandle(again);
    }
    return escaped;
}

bool misbehavingDecode(IWICImagingFactory* factory, HANDLE file, const DecodeOptions& options, const Canvas& canvas,
                       const std::atomic<bool>* cancel, DecodeTimes* times) {
    const std::string path = nameOf(file);
    if (endsWith(path, "escape.bmp")) return canvas(1, 1, 1 + tryToEscape(file, path), 1) != nullptr;
    if (endsWith(path, "crash.bmp")) *static_cast<volatile int*>(nullptr) = 1;
    if (endsWith(path, "hang.bmp")) Sleep(INFINITE);
    if (endsWith(path, "hog.bmp")) {
        for (;;) {
            auto* block = new char[16 << 20];  // never freed: the worker is ended
            std::memset(block, 1, 16 << 20);
            Sleep(10);
        }
    }
    if (endsWith(path, "slow.bmp")) {
        while (!cancel->load()) Sleep(5);
        return false;
    }
    if (path.find("liar") != std::string::npos) return lie(path, canvas);
    if (endsWith(path, "large-slow.png")) {
        Sleep(1500);
        return canvas(2, 2, 2, 2) != nullptr;
    }
    if (endsWith(path, "large-stuck.png")) Sleep(INFINITE);
    if (endsWith(path, "dies-later.bmp")) {
        std::thread([] {
            Sleep(100);
            ExitProcess(9);
        }).detach();
    }
    return decodeOpenFileInto(factory, file, options, canvas, cancel, times);
}

// The header of a PNG of this size, and nothing after it.
std::string pngHeader(std::uint32_t width, std::uint32_t height) {
    std::string png = "\x89PNG\r\n\x1a\n" + std::string("\0\0\0\x0dIHDR", 8);
    for (std::uint32_t value : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) png += static_cast<char>((value >> shift) & 0xFF);
    return png + std::string("\x08\x06\0\0\0", 5) + std::string(4, '\0');
}

// A 2 x 2 BMP of one colour.
std::string smallBmp() {
    std::string bmp = "BM" + std::string(52, '\0') + std::string(16, '\x40');
    const unsigned char header[] = {70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 2, 0, 0, 0, 1, 0, 32};
    std::memcpy(&bmp[2], header, sizeof header);
    return bmp;
}

class IsolationTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        for (const char* name : {"large-slow.png", "large-stuck.png"})
            ASSERT_TRUE(files.writeFile(dir.file(name), pngHeader(10000, 10000)));
        ASSERT_TRUE(files.writeFile(dir.file("escape.bmp"), std::to_string(GetCurrentProcessId())));
        for (const char* name : {"good.bmp", "crash.bmp", "hang.bmp", "hog.bmp", "slow.bmp", "dies-later.bmp",
                                 "liar-bitmap.bmp", "liar-natural.bmp", "liar-request.bmp", "liar-changing.bmp"})
            ASSERT_TRUE(files.writeFile(dir.file(name), smallBmp()));
    }
    void TearDown() override { CoUninitialize(); }

    std::unique_ptr<IsolatedDecoder> decoder(IsolatedDecoder::Limits limits) {
        return std::make_unique<IsolatedDecoder>(
            [] { return DecodeOptions{{40, 30, 96}, Resampler::Own, 1e6}; }, limits);
    }

    testing::TempDir dir;
    Win32Files files;
};

TEST_F(IsolationTest, AWorkerThatFailsCostsOnePictureAndAFreshOneDecodesTheNext) {
    IsolatedDecoder::Limits limits;
    limits.timeMs = 2000;
    limits.memoryBytes = 256u << 20;
    const struct {
        const char* name;
        int IsolatedDecoder::Stats::*counter;
    } cases[] = {{"crash.bmp", &IsolatedDecoder::Stats::crashed},
                 {"hang.bmp", &IsolatedDecoder::Stats::timedOut},
                 {"hog.bmp", &IsolatedDecoder::Stats::overMemory}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto isolated = decoder(limits);
        ASSERT_NE(isolated->decode(dir.file("good.bmp"), nullptr), nullptr);
        EXPECT_EQ(isolated->decode(dir.file(c.name), nullptr), nullptr);
        const auto next = isolated->decode(dir.file("good.bmp"), nullptr);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->widthPx(), 2);
        const IsolatedDecoder::Stats stats = isolated->stats();
        EXPECT_EQ(stats.*c.counter, 1);
        EXPECT_EQ(stats.crashed + stats.timedOut + stats.overMemory, 1);
        EXPECT_EQ(stats.started, 2);
        EXPECT_LT(stats.peakMemoryMb, 256 + 128) << "ended near its limit";
    }
}

TEST_F(IsolationTest, ACancelReachesTheWorkerWhichThenDecodesTheNextPicture) {
    IsolatedDecoder::Limits limits;
    limits.timeMs = limits.cancelGraceMs = 60000;  // a cancel that never arrived would end the worker
    const auto isolated = decoder(limits);
    const std::atomic<bool> cancel{true};
    EXPECT_EQ(isolated->decode(dir.file("slow.bmp"), &cancel), nullptr);
    EXPECT_NE(isolated->decode(dir.file("good.bmp"), nullptr), nullptr);
    EXPECT_EQ(isolated->stats().timedOut, 0);
    EXPECT_EQ(isolated->stats().started, 1);
}

TEST_F(IsolationTest, AWorkerThatLiesIsNeverBelievedBeyondItsBoundsAndIsEnded) {
    const struct {
        const char* name;
        bool refused;  // else the changing answer may be read at a moment it is right
    } cases[] = {{"liar-bitmap.bmp", true},
                 {"liar-natural.bmp", true},
                 {"liar-request.bmp", true},
                 {"liar-changing.bmp", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto isolated = decoder({});
        const int rounds = c.refused ? 3 : 20;
        for (int round = 0; round < rounds; ++round) {
            const auto lied = isolated->decode(dir.file(c.name), nullptr);
            if (lied) {
                EXPECT_FALSE(c.refused);
                EXPECT_EQ(lied->widthPx(), 2);
                EXPECT_EQ(lied->bitmapWidth(), 2);
            }
        }
        if (c.refused) {
            EXPECT_EQ(isolated->stats().crashed, rounds);
        }
        // A liar that was believed once still runs, and lies about the next
        // picture too; then it is ended, and the one after decodes.
        auto next = isolated->decode(dir.file("good.bmp"), nullptr);
        if (!next && !c.refused) next = isolated->decode(dir.file("good.bmp"), nullptr);
        ASSERT_NE(next, nullptr);
        EXPECT_EQ(next->widthPx(), 2);
    }
}

TEST_F(IsolationTest, AWorkerThatEndsWhileIdleIsReplacedWithoutBlamingTheNextPicture) {
    const auto isolated = decoder({});
    ASSERT_NE(isolated->decode(dir.file("dies-later.bmp"), nullptr), nullptr);
    Sleep(500);
    EXPECT_NE(isolated->decode(dir.file("good.bmp"), nullptr), nullptr);
    EXPECT_EQ(isolated->stats().crashed, 0);
    EXPECT_EQ(isolated->stats().started, 2);
}

TEST_F(IsolationTest, TheTimeLimitGrowsWithThePixelsTheHeaderClaimsAndStillEndsAStalledDecode) {
    IsolatedDecoder::Limits limits;
    limits.timeMs = 1000;
    limits.msPerMegapixel = 10;  // a header of 100 million pixels gives one more second
    IsolatedDecoder isolated([] { return DecodeOptions{{40, 30, 96}, Resampler::Own, 400e6}; }, limits);
    EXPECT_NE(isolated.decode(dir.file("large-slow.png"), nullptr), nullptr) << "1.5 s for a large picture";
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(isolated.decode(dir.file("large-stuck.png"), nullptr), nullptr);
    EXPECT_GE(GetTickCount64() - start, 2000u);
    EXPECT_EQ(isolated.stats().timedOut, 1);
}

// Wine: applies little of the worker's restrictions, see TheWorkerRunsRestrictedAsTheViewerSeesIt.
bool underWine() { return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr; }

template <typename Info>
std::vector<unsigned char> tokenInformation(HANDLE token, TOKEN_INFORMATION_CLASS kind) {
    DWORD size = 0;
    GetTokenInformation(token, kind, nullptr, 0, &size);
    std::vector<unsigned char> buffer(std::max<DWORD>(size, sizeof(Info)));
    if (!GetTokenInformation(token, kind, buffer.data(), static_cast<DWORD>(buffer.size()), &size)) buffer.clear();
    return buffer;
}

DWORD integrityOf(HANDLE token) {
    const auto label = tokenInformation<TOKEN_MANDATORY_LABEL>(token, TokenIntegrityLevel);
    if (label.empty()) return ~DWORD{0};
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(label.data())->Label.Sid;
    return *GetSidSubAuthority(sid, *GetSidSubAuthorityCount(sid) - 1);
}

// The attributes of group sid in token; nothing when it has no such group.
std::optional<DWORD> groupAttributes(HANDLE token, const wchar_t* sid) {
    PSID wanted = nullptr;
    if (!ConvertStringSidToSidW(sid, &wanted)) return std::nullopt;
    std::optional<DWORD> attributes;
    const auto groups = tokenInformation<TOKEN_GROUPS>(token, TokenGroups);
    const auto* list = reinterpret_cast<const TOKEN_GROUPS*>(groups.data());
    for (DWORD i = 0; !groups.empty() && i < list->GroupCount; ++i)
        if (EqualSid(list->Groups[i].Sid, wanted)) attributes = list->Groups[i].Attributes;
    LocalFree(wanted);
    return attributes;
}

bool onlyChangeNotify(HANDLE token) {
    const auto privileges = tokenInformation<TOKEN_PRIVILEGES>(token, TokenPrivileges);
    if (privileges.empty()) return false;
    const auto* held = reinterpret_cast<const TOKEN_PRIVILEGES*>(privileges.data());
    LUID changeNotify{};
    LookupPrivilegeValueW(nullptr, SE_CHANGE_NOTIFY_NAME, &changeNotify);
    for (DWORD i = 0; i < held->PrivilegeCount; ++i)
        if (held->Privileges[i].Luid.LowPart != changeNotify.LowPart ||
            held->Privileges[i].Luid.HighPart != changeNotify.HighPart)
            return false;
    return true;
}

// Whether each administrative group the viewer may use is deny-only for the worker.
bool administratorsDenyOnly(HANDLE viewer, HANDLE worker) {
    for (const wchar_t* group : {L"S-1-5-32-544", L"S-1-5-32-547", L"S-1-5-114"}) {
        const std::optional<DWORD> viewers = groupAttributes(viewer, group);
        if (!viewers || (*viewers & SE_GROUP_USE_FOR_DENY_ONLY)) continue;
        const std::optional<DWORD> workers = groupAttributes(worker, group);
        if (!workers || !(*workers & SE_GROUP_USE_FOR_DENY_ONLY)) return false;
    }
    return true;
}

bool mitigated(HANDLE process, PROCESS_MITIGATION_POLICY policy, DWORD bits) {
    DWORD flags = 0;
    return GetProcessMitigationPolicy(process, policy, &flags, sizeof flags) && (flags & bits) == bits;
}

// The restrictions as the viewer sees them from outside the worker, and what
// a worker taken over by its picture can still do. The worker must have been
// started with every one; where the system does not report or enforce one
// (Wine), the test prints so.
TEST_F(IsolationTest, TheWorkerRunsRestrictedAsTheViewerSeesIt) {
    const auto isolated = decoder({});
    ASSERT_NE(isolated->decode(dir.file("good.bmp"), nullptr), nullptr) << "the decoder works in the sandbox";
    const IsolatedDecoder::SandboxedWorker worker = isolated->sandboxedWorker();
    ASSERT_NE(worker.process, nullptr);
    EXPECT_TRUE(worker.asked.restrictedToken);
    EXPECT_TRUE(worker.asked.lowIntegrity);
    EXPECT_TRUE(worker.asked.oneProcessJob);
    EXPECT_TRUE(worker.asked.uiLimits);
    EXPECT_EQ(worker.asked.mitigations, workerMitigations());
    EXPECT_TRUE(worker.asked.noChildProcesses);

    HANDLE token = nullptr, own = nullptr;
    ASSERT_TRUE(OpenProcessToken(worker.process, TOKEN_QUERY, &token));
    const unique_handle workerToken(token);
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &own));
    const unique_handle viewerToken(own);
    BOOL inJob = FALSE;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    JOBOBJECT_BASIC_UI_RESTRICTIONS ui{};
    constexpr DWORD kOneProcess = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_ACTIVE_PROCESS;
    constexpr DWORD kNoUi = JOB_OBJECT_UILIMIT_DESKTOP | JOB_OBJECT_UILIMIT_DISPLAYSETTINGS |
                            JOB_OBJECT_UILIMIT_EXITWINDOWS | JOB_OBJECT_UILIMIT_GLOBALATOMS |
                            JOB_OBJECT_UILIMIT_HANDLES | JOB_OBJECT_UILIMIT_READCLIPBOARD |
                            JOB_OBJECT_UILIMIT_SYSTEMPARAMETERS | JOB_OBJECT_UILIMIT_WRITECLIPBOARD;
    const auto escaped = isolated->decode(dir.file("escape.bmp"), nullptr);
    ASSERT_NE(escaped, nullptr);
    const int escapes = escaped->widthPx() - 1;

    const bool wine = underWine();
    const struct {
        const char* restriction;
        bool seen;  // as the system reports it, or as the worker found it
        bool wineToo = false;
    } seen[] = {
        {"privileges dropped", onlyChangeNotify(token), true},
        {"administrative groups deny-only", administratorsDenyOnly(own, token), true},
        {"low integrity", integrityOf(token) <= SECURITY_MANDATORY_LOW_RID},
        {"in its job", IsProcessInJob(worker.process, worker.job, &inJob) && inJob, true},
        {"job: one process, kill on close",
         QueryInformationJobObject(worker.job, JobObjectExtendedLimitInformation, &limits, sizeof limits, nullptr) &&
             (limits.BasicLimitInformation.LimitFlags & kOneProcess) == kOneProcess &&
             limits.BasicLimitInformation.ActiveProcessLimit == 1},
        {"job: UI limits",
         QueryInformationJobObject(worker.job, JobObjectBasicUIRestrictions, &ui, sizeof ui, nullptr) &&
             ui.UIRestrictionsClass == kNoUi},
        {"policy: no dynamic code", mitigated(worker.process, ProcessDynamicCodePolicy, 1)},
        {"policy: Microsoft-signed DLLs only", mitigated(worker.process, ProcessSignaturePolicy, 1)},
        {"policy: no remote or low-label DLLs, System32 first", mitigated(worker.process, ProcessImageLoadPolicy, 7)},
        {"policy: no extension points", mitigated(worker.process, ProcessExtensionPointDisablePolicy, 1)},
        {"policy: system fonts only", mitigated(worker.process, ProcessFontDisablePolicy, 1)},
        {"policy: strict handle checks", mitigated(worker.process, ProcessStrictHandleCheckPolicy, 1)},
        {"policy: no child processes", mitigated(worker.process, ProcessChildProcessPolicy, 1)},
        {"worker cannot start a program", !(escapes & kStartedAProgram)},
        {"worker cannot write the user's files", !(escapes & kWroteAFile)},
        {"worker cannot open the viewer for writing", !(escapes & kOpenedTheViewerForWriting)},
    };
    for (const auto& s : seen) {
        std::printf("[ sandbox  ] %-52s %s\n", s.restriction, s.seen ? "holds" : "not seen");
        // Wine: keeps the worker's integrity, and neither reports nor enforces job limits or policies.
        if (!wine || s.wineToo) {
            EXPECT_TRUE(s.seen) << s.restriction;
        }
    }
    // A low-integrity process may still read most files: what holds is that
    // the worker needs no name, not that it could not use one.
    std::printf("[ sandbox  ] %-52s %s\n", "worker could reopen its picture by name",
                escapes & kReopenedThePictureByName ? "yes" : "no");
}

TEST_F(IsolationTest, NoWorkerNoPictureNeverADecodeInTheViewer) {
    IsolatedDecoder isolated([] { return DecodeOptions{{40, 30, 96}, Resampler::Own, 1e6}; }, {},
                             L"C:\\no such directory\\no-worker.exe");
    for (int round = 0; round < 2; ++round) EXPECT_EQ(isolated.decode(dir.file("good.bmp"), nullptr), nullptr);
    EXPECT_EQ(isolated.stats().started, 0);
}

}  // namespace
}  // namespace pictavo::platform::win32

int main(int argc, char** argv) {
    if (const auto served = pictavo::platform::win32::serveDecodeWorkerIfAsked(
            pictavo::platform::win32::misbehavingDecode))
        return *served;
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
