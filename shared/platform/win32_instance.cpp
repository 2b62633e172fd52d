#include <windows.h>
// after windows.h
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>
#include <memory>
#include <utility>

#include "shared/platform/headless.h"
#include "shared/platform/win32.h"

namespace tlv::port::win32 {
namespace {

constexpr int kNames = 8;  // tried in turn when another user holds one

// The default owner of what this process creates (the user, or for an
// administrator the Administrators group); null when it cannot be read.
std::unique_ptr<char[]> default_owner() {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) return nullptr;
    DWORD size = 0;
    ::GetTokenInformation(token, TokenOwner, nullptr, 0, &size);
    auto owner = std::make_unique<char[]>(size);
    bool read = size && ::GetTokenInformation(token, TokenOwner, owner.get(), size, &size);
    ::CloseHandle(token);
    return read ? std::move(owner) : nullptr;
}

std::wstring owner_text(PSID sid) {
    wchar_t* text = nullptr;
    if (!sid || !::ConvertSidToStringSidW(sid, &text)) return L"?";
    std::wstring result = text;
    ::LocalFree(text);
    return result;
}

// An object counts as ours when its owner is this process's default owner;
// when the system cannot tell (no owner recorded, as under wine), it counts
// as ours: the safe side is one copy.
bool ours(HANDLE object, PSID self) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!self || ::GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner,
                                   nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS)
        return true;
    bool same = !owner || ::EqualSid(owner, self);
    ::LocalFree(descriptor);
    return same;
}

// The claim is a named mutex in the session's namespace, keyed by user,
// program and folder; the system drops it when the process ends, crash or
// not.  Beside it an event carries a second start's show request.
class MutexInstance final : public SingleInstance {
public:
    ~MutexInstance() override {
        for (HANDLE handle : {claim_, requests_, running_copy_})
            if (handle) ::CloseHandle(handle);
    }

    bool another_copy_runs(std::string_view program, std::string_view folder) override {
        auto owner = default_owner();
        PSID self = owner ? reinterpret_cast<TOKEN_OWNER*>(owner.get())->Owner : nullptr;
        const std::wstring user = owner_text(self);
        for (int index = 0; index < kNames; ++index) {
            const std::wstring name = name_of(user, program, folder, index);
            HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
            if (!mutex) {
                if (::GetLastError() == ERROR_ACCESS_DENIED) continue;  // another user's
                return false;  // no way to tell: let this copy run
            }
            if (::GetLastError() != ERROR_ALREADY_EXISTS) {
                claim_ = mutex;
                requests_ = ::CreateEventW(nullptr, TRUE, FALSE, (name + L"-tonen").c_str());
                return false;
            }
            const bool running = ours(mutex, self);
            ::CloseHandle(mutex);
            if (running) {
                running_copy_ = ::OpenEventW(EVENT_MODIFY_STATE, FALSE, (name + L"-tonen").c_str());
                return true;
            }
        }
        return false;  // every name is another's: run without a claim
    }

    bool ask_to_show() override {
        bool sent = running_copy_ && ::SetEvent(running_copy_);
        if (running_copy_) ::CloseHandle(std::exchange(running_copy_, nullptr));
        return sent;
    }

    // Kernel handles fit in 32 bits, also in a 64-bit process.
    int request_handle() override {
        return requests_ ? static_cast<int>(reinterpret_cast<intptr_t>(requests_)) : -1;
    }

    // A manual-reset event: the window's notifier waits on it too, and must
    // not take the signal away before this looks.
    bool take_show_request() override {
        if (!requests_ || ::WaitForSingleObject(requests_, 0) != WAIT_OBJECT_0) return false;
        ::ResetEvent(requests_);
        return true;
    }

private:
    static std::wstring name_of(const std::wstring& user, std::string_view program,
                                std::string_view folder, int index) {
        wchar_t name[64];
        std::swprintf(
            name, 64, L"Local\\tolvane-instance-%016llx-%d",
            static_cast<unsigned long long>(headless::claim_key(narrow(user), program, folder)),
            index);
        return name;
    }

    HANDLE claim_ = nullptr;
    HANDLE requests_ = nullptr;
    HANDLE running_copy_ = nullptr;
};

}  // namespace

SingleInstance& single_instance() {
    static MutexInstance instance;
    return instance;
}

}  // namespace tlv::port::win32
