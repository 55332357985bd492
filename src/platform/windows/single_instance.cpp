// SPDX-License-Identifier: MIT
#include "platform/single_instance.h"

#include "platform/windows/windows_api.h"

#include <sddl.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

namespace pellwick {

namespace {

// Held for the life of the first start; Windows drops it when the process ends,
// however it ends. One per session, which is one per signed-in user.
const wchar_t kMutexName[] = L"Local\\Pellwick.Instance";

// No request or reply is larger: a setting at its limit is well below it.
constexpr DWORD kMaxMessage = 16u << 20;

using Handle = std::unique_ptr<void, decltype(&CloseHandle)>;

// This process's user, as a SID text ("S-1-5-21-…"); empty when unknown.
std::wstring userSid(HANDLE process)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    const Handle owned(token, &CloseHandle);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::string buffer(size, '\0');
    LPWSTR text = nullptr;
    if (!GetTokenInformation(token, TokenUser, buffer.data(), size, &size)
        || !ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &text))
        return {};
    std::wstring sid(text);
    LocalFree(text);
    return sid;
}

// The pipe of this user's program in this session: other sessions and users
// have their own.
std::wstring pipeName()
{
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    return L"\\\\.\\pipe\\Pellwick." + std::to_wstring(session) + L"."
           + userSid(GetCurrentProcess());
}

// One message: its length (four bytes, little-endian), then its bytes.
bool writeMessage(HANDLE pipe, const std::string &bytes)
{
    const auto size = static_cast<std::uint32_t>(bytes.size());
    DWORD written = 0;
    return WriteFile(pipe, &size, 4, &written, nullptr) && written == 4
           && WriteFile(pipe, bytes.data(), size, &written, nullptr) && written == size;
}

std::optional<std::string> readMessage(HANDLE pipe)
{
    std::uint32_t size = 0;
    DWORD got = 0;
    if (!ReadFile(pipe, &size, 4, &got, nullptr) || got != 4 || size > kMaxMessage)
        return std::nullopt;
    std::string bytes(size, '\0');
    for (DWORD at = 0; at < size; at += got) {
        if (!ReadFile(pipe, bytes.data() + at, size - at, &got, nullptr) || got == 0)
            return std::nullopt;
    }
    return bytes;
}

// Whether the pipe's client runs as this user: the pipe's security admits no
// other, and this says so once more where that security is not enforced.
bool clientIsThisUser(HANDLE pipe, const std::wstring &sid)
{
    ULONG client = 0;
    if (!GetNamedPipeClientProcessId(pipe, &client))
        return false;
    const Handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, client),
                         &CloseHandle);
    return process && userSid(process.get()) == sid;
}

// Serves the pipe on a thread of its own; each request is answered on the
// event loop's thread. The thread is left to end with the process: it waits
// in the pipe and holds nothing of the loop's.
class PipeInstance final : public SingleInstance
{
public:
    explicit PipeInstance(HANDLE mutex)
        : m_mutex(mutex, &CloseHandle)
    {
    }
    ~PipeInstance() override { m_state->ended = true; }

    int Handle() const override { return -1; }
    void TakeRequest(const HandOverAnswer &) override { }
    void Serve(HandOverAnswer answer, OnLoop onLoop) override
    {
        m_state->answer = std::move(answer);
        m_state->onLoop = std::move(onLoop);
        std::thread([state = m_state] { serve(*state); }).detach();
    }

private:
    struct State
    {
        HandOverAnswer answer;
        OnLoop onLoop;
        std::atomic<bool> ended {false};
    };

    static void serve(State &state)
    {
        const std::wstring sid = userSid(GetCurrentProcess());
        // Only this user may open the pipe, and it is the first of its name:
        // nobody else can stand in for it.
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (sid.empty()
            || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                (L"D:P(A;;GA;;;" + sid + L")").c_str(), SDDL_REVISION_1, &descriptor, nullptr))
            return;
        SECURITY_ATTRIBUTES security {sizeof security, descriptor, FALSE};
        const std::wstring name = pipeName();
        for (DWORD first = FILE_FLAG_FIRST_PIPE_INSTANCE; !state.ended; first = 0) {
            const pellwick::Handle pipe(
                CreateNamedPipeW(name.c_str(), PIPE_ACCESS_DUPLEX | first,
                                 PIPE_TYPE_BYTE | PIPE_WAIT | PIPE_REJECT_REMOTE_CLIENTS, 1, 4096,
                                 4096, 0, &security),
                &CloseHandle);
            if (pipe.get() == INVALID_HANDLE_VALUE)
                break;
            if (!ConnectNamedPipe(pipe.get(), nullptr) && GetLastError() != ERROR_PIPE_CONNECTED)
                continue;
            answerOne(state, pipe.get(), sid);
            FlushFileBuffers(pipe.get());
            DisconnectNamedPipe(pipe.get());
        }
        LocalFree(descriptor);
    }

    static void answerOne(State &state, HANDLE pipe, const std::wstring &sid)
    {
        HandOver handOver;
        if (!clientIsThisUser(pipe, sid))
            handOver.refusal = "refused a request of another user: only the user who runs "
                               "Pellwick may command it";
        else if (const std::optional<std::string> bytes = readMessage(pipe))
            handOver = DecodedHandOver(*bytes).value_or(HandOver {});
        HandOverReply reply = FailureReply(75, "pellwick: the running Pellwick did not answer");
        state.onLoop([&] { reply = state.answer(handOver); });
        reply.process = GetCurrentProcessId();
        writeMessage(pipe, Encoded(reply));
    }

    pellwick::Handle m_mutex;
    std::shared_ptr<State> m_state = std::make_shared<State>();
};

// Hands over through the pipe: the reply, or one telling that none came.
// None when nobody serves the pipe.
std::optional<HandOverReply> handOver(const HandOver &request, bool running)
{
    const std::wstring name = pipeName();
    // The first instance may be between taking the mutex and serving: wait a
    // little for its pipe.
    for (int attempt = 0; attempt < 20; ++attempt) {
        const Handle pipe(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr),
                          &CloseHandle);
        if (pipe.get() != INVALID_HANDLE_VALUE) {
            const std::optional<std::string> bytes = writeMessage(pipe.get(), Encoded(request))
                                                         ? readMessage(pipe.get())
                                                         : std::nullopt;
            if (const auto reply = bytes ? DecodedReply(*bytes) : std::nullopt)
                return reply;
            return FailureReply(75, "pellwick: the running Pellwick did not answer");
        }
        if (!running)
            return std::nullopt;
        if (GetLastError() == ERROR_PIPE_BUSY)
            WaitNamedPipeW(name.c_str(), 2000);
        else
            Sleep(50);
    }
    return std::nullopt;
}

} // namespace

InstanceClaim ClaimSingleInstance(const HandOver &request)
{
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kMutexName);
    if (mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return {nullptr, handOver(request, true)};
    }
    // Without a mutex (no resources) the program runs all the same.
    return {std::make_unique<PipeInstance>(mutex), std::nullopt};
}

std::optional<HandOverReply> AskRunningInstance(const HandOver &request)
{
    const Handle mutex(OpenMutexW(SYNCHRONIZE, FALSE, kMutexName), &CloseHandle);
    if (!mutex)
        return std::nullopt;
    return handOver(request, true);
}

} // namespace pellwick
