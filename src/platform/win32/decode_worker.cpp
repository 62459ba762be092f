#include "platform/win32/decode_worker.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <new>

#include "platform/win32/decode_channel.h"
#include "platform/win32/unique_handle.h"

namespace pictavo::platform::win32 {

namespace {

struct WorkerArguments {
    bool asked = false;
    std::optional<ChannelHandles> handles;  // empty when the arguments are unusable
};

std::optional<std::uint64_t> number(const wchar_t* text) {
    wchar_t* end = nullptr;
    const unsigned long long value = std::wcstoull(text, &end, 10);
    if (end == text || *end != L'\0') return std::nullopt;
    return value;
}

WorkerArguments workerArguments() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv) return {};
    WorkerArguments arguments;
    if (argc == 7 && std::wcscmp(argv[1], kDecodeWorkerSwitch) == 0) {
        arguments.asked = true;
        std::optional<std::uint64_t> values[5];
        for (int i = 0; i < 5; ++i) values[i] = number(argv[2 + i]);
        if (std::all_of(std::begin(values), std::end(values), [](const auto& v) { return v.has_value(); })) {
            auto handle = [](std::uint64_t v) { return reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(v)); };
            arguments.handles = ChannelHandles{handle(*values[0]), handle(*values[1]), handle(*values[2]),
                                               handle(*values[3]), *values[4]};
        }
    }
    LocalFree(argv);
    return arguments;
}

// A crash ends the worker at once, without a debugger or an error box; the
// viewer sees it end.
LONG WINAPI endAtOnce(EXCEPTION_POINTERS* exception) {
    TerminateProcess(GetCurrentProcess(), exception->ExceptionRecord->ExceptionCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

int serve(const ChannelHandles& handles, IWICImagingFactory* factory, const WorkerDecode& decode) {
    unique_handle mapping(handles.mapping), request(handles.request), answer(handles.answer),
        viewer(handles.viewer);
    const auto bytes = static_cast<std::size_t>(handles.bytes);
    if (bytes != handles.bytes || bytes <= kChannelPixelsOffset) return kWorkerWithoutChannel;
    unique_view view(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, bytes));
    if (!view) return kWorkerWithoutChannel;
    auto* channel = std::launder(static_cast<DecodeChannel*>(view.get()));
    auto* pixels = static_cast<std::uint8_t*>(view.get()) + kChannelPixelsOffset;
    const std::size_t capacity = bytes - kChannelPixelsOffset;

    SetEvent(answer.get());  // ready
    for (;;) {
        const HANDLE waits[] = {request.get(), viewer.get()};
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) return 0;
        const std::uint64_t fileValue = channel->file;
        const unique_hfile file(fileValue ? reinterpret_cast<HANDLE>(static_cast<std::uintptr_t>(fileValue))
                                          : INVALID_HANDLE_VALUE);
        const DecodeOptions options{{channel->screenWidth, channel->screenHeight, channel->dpi},
                                    static_cast<Resampler>(channel->resampler),
                                    channel->maxSourcePixels};
        if (const std::optional<double> pixels = claimedPixels(file.get()))
            channel->framePixels = static_cast<std::uint64_t>(std::min(*pixels, 1e18));
        DecodeAnswer& reply = channel->answer;
        reply = {};
        reply.request = channel->request;
        const Canvas canvas = [&](int bitmapWidth, int bitmapHeight, int naturalWidth, int naturalHeight) -> void* {
            if (bitmapWidth <= 0 || bitmapHeight <= 0 ||
                static_cast<std::size_t>(bitmapWidth) * static_cast<std::size_t>(bitmapHeight) * 4 > capacity)
                return nullptr;
            reply.bitmapWidth = bitmapWidth;
            reply.bitmapHeight = bitmapHeight;
            reply.naturalWidth = naturalWidth;
            reply.naturalHeight = naturalHeight;
            return pixels;
        };
        DecodeTimes times;
        bool decoded = false;
        try {
            decoded = decode(factory, file.get(), options, canvas, &channel->cancel, &times);
        } catch (...) {
            decoded = false;
        }
        reply.decodeMs = times.decodeMs;
        reply.scaleMs = times.scaleMs;
        reply.decoded = decoded ? 1 : 0;
        SetEvent(answer.get());
    }
}

class ComForWorker {
public:
    ComForWorker() : ok_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ComForWorker(const ComForWorker&) = delete;
    ComForWorker& operator=(const ComForWorker&) = delete;
    ~ComForWorker() {
        if (ok_) CoUninitialize();
    }

private:
    bool ok_;
};

}  // namespace

std::optional<int> serveDecodeWorkerIfAsked(const WorkerDecode& decode) {
    const WorkerArguments arguments = workerArguments();
    if (!arguments.asked) return std::nullopt;
    if (!arguments.handles) return kWorkerWithoutHandles;
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(endAtOnce);
    ComForWorker com;
    com_ptr<IWICImagingFactory> factory;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))))
        return kWorkerWithoutDecoder;
    return serve(*arguments.handles, factory.Get(), decode);
}

}  // namespace pictavo::platform::win32
