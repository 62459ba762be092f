#include "platform/win32/win32_window_system.h"

#include <algorithm>
#include <string>

#include "platform/win32/text_conv.h"
#include "platform/win32/win32_dpi.h"
#include "platform/win32/win32_form.h"
#include "platform/win32/win32_form_window.h"
#include "platform/win32/win32_trace.h"

namespace pictavo::platform::win32 {

namespace {

constexpr int kAppIconId = 1;

LONGLONG performanceCount() {
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

bool isMouseButtonMessage(UINT message) {
    return (message >= WM_LBUTTONDOWN && message <= WM_MBUTTONDBLCLK) ||
           (message >= WM_XBUTTONDOWN && message <= WM_XBUTTONDBLCLK) ||
           (message >= WM_NCLBUTTONDOWN && message <= WM_NCMBUTTONDBLCLK) ||
           (message >= WM_NCXBUTTONDOWN && message <= WM_NCXBUTTONDBLCLK);
}

bool isKeyMessage(UINT message) {
    switch (message) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_SYSDEADCHAR:
            return true;
        default:
            return false;
    }
}

}  // namespace

Win32WindowSystem::Win32WindowSystem(HINSTANCE instance)
    : instance_(instance), pointers_(instance), thread_(GetCurrentThreadId()) {
    FormWindow::registerClasses(instance);
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    lookInterval_ = frequency.QuadPart / 500;
    storeInterval_ = frequency.QuadPart / 20;
}

Win32WindowSystem::~Win32WindowSystem() {
    for (auto& weak : closing_)
        if (auto form = weak.lock()) form->destroyIfClosed();
}

void Win32WindowSystem::destroyLater(const std::shared_ptr<FormWindow>& form) {
    std::erase_if(closing_, [](const std::weak_ptr<FormWindow>& weak) { return weak.expired(); });
    closing_.push_back(form);
}

HICON Win32WindowSystem::appIcon(bool smallSize) const {
    const int size = GetSystemMetrics(smallSize ? SM_CXSMICON : SM_CXICON);
    // Shared icons belong to the system; nothing to free.
    return static_cast<HICON>(
        LoadImageW(instance_, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON, size, size, LR_DEFAULTCOLOR | LR_SHARED));
}

std::unique_ptr<NativeForm> Win32WindowSystem::createForm(const FormLayout& layout, EventSink& sink) {
    auto window = FormWindow::create(*this, layout, sink);
    if (!window) {
        trace("the window " + layout.name + " could not be created (error " + std::to_string(GetLastError()) + ")");
        return nullptr;
    }
    forms_[window->hwnd()] = window;
    // A window that appears while a modal form runs is disabled like the others.
    if (!modals_.empty()) {
        EnableWindow(window->hwnd(), FALSE);
        modals_.back().disabled.push_back(window);
    }
    return std::make_unique<Win32Form>(std::move(window));
}

void Win32WindowSystem::forget(const FormWindow& form) {
    for (auto it = forms_.begin(); it != forms_.end();) {
        auto live = it->second.lock();
        if (!live || live.get() == &form)
            it = forms_.erase(it);
        else
            ++it;
    }
}

std::shared_ptr<FormWindow> Win32WindowSystem::formOf(HWND window) const {
    if (!window) return nullptr;
    HWND root = GetAncestor(window, GA_ROOT);
    auto it = forms_.find(root ? root : window);
    if (it == forms_.end()) return nullptr;
    auto form = it->second.lock();
    return form && form->alive() ? form : nullptr;
}

std::shared_ptr<FormWindow> Win32WindowSystem::innermostModal() const {
    for (auto it = modals_.rbegin(); it != modals_.rend(); ++it)
        if (auto form = it->form.lock(); form && form->alive()) return form;
    return nullptr;
}

void Win32WindowSystem::enableAll(std::vector<std::weak_ptr<FormWindow>>& forms) {
    for (auto& weak : forms)
        if (auto form = weak.lock(); form && form->alive()) EnableWindow(form->hwnd(), TRUE);
    forms.clear();
}

void Win32WindowSystem::modalHiding(const FormWindow& form) {
    if (modals_.empty()) return;
    auto innermost = modals_.back().form.lock();
    if (innermost.get() == &form) enableAll(modals_.back().disabled);
}

bool Win32WindowSystem::heldByModal(const FormWindow& form) const {
    const auto modal = innermostModal();
    return modal && modal.get() != &form;
}

bool Win32WindowSystem::routeKey(MSG& message) {
    // Returns true when the message has been dealt with here.
    const auto target = formOf(message.hwnd);
    const auto modal = innermostModal();
    const auto keyForm = modal ? modal : target;
    if (!keyForm) return false;
    // While a modal form runs, keys meant for another form reach only the
    // modal form's handler.
    const bool foreign = modal && target != modal && target != nullptr;

    switch (message.message) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const int key = static_cast<int>(message.wParam);
            if (keyForm->send({EventKind::KeyDown, kFormItself, key, {}})) return true;
            if (foreign || !keyForm->alive()) return true;
            // Enter and Esc that the form did not take go to the focused
            // control as they are, never to the dialog manager's own default
            // and cancel handling.
            if (key == VK_RETURN || key == VK_ESCAPE) return false;
            return IsDialogMessageW(keyForm->hwnd(), &message) != 0;
        }
        case WM_CHAR: {
            if (keyForm->keyPreview() || GetFocus() == keyForm->hwnd())
                keyForm->send({EventKind::KeyPress, kFormItself, static_cast<int>(message.wParam), {}});
            if (foreign || !keyForm->alive()) return true;
            // Access keys need Alt; a plain letter on a button or check box is just a key.
            return false;
        }
        case WM_SYSCHAR:
            if (foreign || !keyForm->alive()) return true;
            return IsDialogMessageW(keyForm->hwnd(), &message) != 0;
        default:
            if (foreign) return true;
            if (!keyForm->alive()) return true;
            return IsDialogMessageW(keyForm->hwnd(), &message) != 0;
    }
}

void Win32WindowSystem::process(MSG& message) {
    if (isKeyMessage(message.message) && routeKey(message)) return;
    // Wine: the owner that stands in for a modal form of no size can be
    // clicked while it runs (the others are disabled); like them, it takes
    // no click (see runLoop).
    if (isMouseButtonMessage(message.message)) {
        const auto target = formOf(message.hwnd);
        if (target && heldByModal(*target)) return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void Win32WindowSystem::typeAhead(std::vector<int> keyCodes) {
    typedAhead_.insert(typedAhead_.begin(), keyCodes.begin(), keyCodes.end());
}

void Win32WindowSystem::replayTypedKey() {
    const int key = typedAhead_.front();
    typedAhead_.pop_front();
    HWND target = GetFocus();
    if (!target) {
        const auto modal = innermostModal();
        target = modal ? modal->hwnd() : GetActiveWindow();
    }
    if (!target) {
        trace("a key typed ahead found no window to take it: " + std::to_string(key));
        return;
    }
    // As the keyboard would have queued it. The translation posts the
    // character the key makes, which belongs to this key, before the next one.
    const UINT scanCode = MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC);
    MSG message{target, WM_KEYDOWN, static_cast<WPARAM>(key), static_cast<LPARAM>(1u | (scanCode << 16)),
                static_cast<DWORD>(GetMessageTime()), {}};
    process(message);
    while (PeekMessageW(&message, nullptr, WM_CHAR, WM_DEADCHAR, PM_REMOVE) ||
           PeekMessageW(&message, nullptr, WM_SYSCHAR, WM_SYSDEADCHAR, PM_REMOVE))
        process(message);
}

void Win32WindowSystem::wake() {
    // A message to the thread, not to a window: it only ends the loop's wait.
    PostThreadMessageW(thread_, WM_NULL, 0, 0);
}

void Win32WindowSystem::storeWindowTexts() {
    if (!windowTextsOld_) return;
    windowTextsOld_ = false;
    textsStored_ = performanceCount();
    for (auto& [hwnd, weak] : forms_)
        if (auto form = weak.lock()) form->storeWindowTexts();
}

void Win32WindowSystem::doEvents() {
    // The index is read with events processed at every tenth picture, which
    // is thousands of times a second. So the queue is looked at only when the
    // last look ended a little while ago: input waits that much longer, which
    // nobody sees. Counting from the end, the program gets on with its work
    // between looks even where round trips take longer than the wait.
    // Wine: even asking the queue is a round trip to the wineserver.
    const LONGLONG now = performanceCount();
    if (now - lastLook_ < lookInterval_) return;
    // A reader of a label's window needs no fresher text than a screen shows.
    // Wine: storing the text takes more round trips still.
    if (now - textsStored_ >= storeInterval_) storeWindowTexts();
    processQueued();
    lastLook_ = performanceCount();
}

void Win32WindowSystem::processQueued() {
    // Mostly nothing is queued: asking is much cheaper than fetching.
    // Wine: fetching also pushes every window's pixels to the X display.
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            quitting_ = true;
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        process(message);
    }
}

void Win32WindowSystem::runLoop(NativeForm* modal, const std::function<bool()>& keepRunning) {
    std::shared_ptr<FormWindow> modalWindow;
    if (modal) modalWindow = static_cast<Win32Form*>(modal)->window();
    if (modalWindow) {
        // Activating a disabled owner activates the window it owns. The
        // owner of a modal form of no size stays enabled to be activated in
        // its place, and hands its keys on.
        // Wine: X never gives the focus to a window of no size; such a modal
        // form could never have the keyboard.
        HWND standIn = modalWindow->hasNoSize() ? GetWindow(modalWindow->hwnd(), GW_OWNER) : nullptr;
        Modal entry{modalWindow, {}};
        for (auto& [hwnd, weak] : forms_) {
            auto form = weak.lock();
            if (!form || form == modalWindow || hwnd == standIn || !form->alive() || !IsWindowEnabled(hwnd))
                continue;
            EnableWindow(hwnd, FALSE);
            entry.disabled.push_back(form);
        }
        modals_.push_back(std::move(entry));
    }
    // From here on `modal` may be destroyed by any handler; only the weak
    // entry in modals_ refers to it.
    while (!quitting_ && keepRunning()) {
        MSG message;
        // Keys typed ahead come before anything queued since.
        if (!typedAhead_.empty()) {
            replayTypedKey();
            continue;
        }
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            storeWindowTexts();
            MsgWaitForMultipleObjectsEx(0, nullptr, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
            continue;
        }
        if (message.message == WM_QUIT) {
            quitting_ = true;
            PostQuitMessage(static_cast<int>(message.wParam));  // for the loops outside this one
            break;
        }
        process(message);
    }
    if (modalWindow) {
        for (auto it = modals_.rbegin(); it != modals_.rend(); ++it) {
            if (it->form.lock() == modalWindow) {
                enableAll(it->disabled);
                modals_.erase(std::next(it).base());
                break;
            }
        }
        activateTopmostForm();
    }
}

void Win32WindowSystem::activateTopmostForm() {
    // When the modal form went while the others were still disabled, the
    // system found nothing to activate; give the activation to the topmost
    // form that can take it, as closing a dialog box does.
    HWND active = GetActiveWindow();
    if (active && IsWindowVisible(active)) return;
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        const auto form = formOf(window);
        if (!form || form->hwnd() != window || !IsWindowVisible(window) || !IsWindowEnabled(window)) continue;
        SetForegroundWindow(window);
        SetActiveWindow(window);
        return;
    }
}

void Win32WindowSystem::quit() {
    if (quitting_) return;
    quitting_ = true;
    PostQuitMessage(0);
}

ScreenMetrics Win32WindowSystem::screen() const {
    const double twipsPerPixel = kTwipsPerInch / static_cast<double>(systemDpi());
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), twipsPerPixel, twipsPerPixel};
}

bool Win32WindowSystem::onSomeMonitor(const TwipRect& rect) const {
    const UINT dpi = systemDpi();
    const int left = twipsToPixels(rect.left, dpi);
    const int top = twipsToPixels(rect.top, dpi);
    const RECT area{left, top, left + std::max(1, twipsToPixels(rect.width, dpi)),
                    top + std::max(1, twipsToPixels(rect.height, dpi))};
    return MonitorFromRect(&area, MONITOR_DEFAULTTONULL) != nullptr;
}

void Win32WindowSystem::messageBox(const std::string& text, const std::string& title) {
    storeWindowTexts();
    MessageBoxW(GetActiveWindow(), widen(text).c_str(), widen(title).c_str(), MB_OK);
}

void Win32WindowSystem::setCursorPos(int x, int y) { SetCursorPos(x, y); }

}  // namespace pictavo::platform::win32
