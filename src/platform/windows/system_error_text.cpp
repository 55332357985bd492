// SPDX-License-Identifier: MIT
#include "platform/windows/system_error_text.h"

#include "platform/windows/wide_text.h"
#include "platform/windows/windows_api.h"

namespace pellwick {

std::string SystemErrorText(std::int32_t code)
{
    wchar_t *text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t *>(&text), 0, nullptr);
    std::wstring words(text ? text : L"", length);
    LocalFree(text);
    words.erase(words.find_last_not_of(L"\r\n. ") + 1);
    return words.empty() ? "error " + std::to_string(code) : Narrow(words);
}

} // namespace pellwick
