#include "gui/win32/hidden_window.h"

#include "gui/win32/window_object.h"

namespace pellwick {

namespace {

const wchar_t kHiddenClass[] = L"PellwickHidden";

} // namespace

HiddenWindow::HiddenWindow(HINSTANCE instance)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kHiddenClass;
    RegisterClassExW(&windowClass);
    for (HWND parent : {HWND(nullptr), HWND_MESSAGE}) {
        m_window = CreateWindowExW(0, kHiddenClass, L"Pellwick", WS_OVERLAPPED, 0, 0, 0, 0, parent,
                                   nullptr, instance, this);
        if (m_window)
            break;
    }
}

HiddenWindow::~HiddenWindow()
{
    m_handler = nullptr;
    if (m_window)
        DestroyWindow(m_window);
}

LRESULT CALLBACK HiddenWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = WindowObject<HiddenWindow>(window, message, lParam);
    if (self && self->m_handler) {
        if (const std::optional<LRESULT> result = self->m_handler(message, wParam, lParam))
            return *result;
    }
    // Closing is the owner's to decide; Windows would destroy the window.
    if (message == WM_CLOSE)
        return 0;
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace pellwick
