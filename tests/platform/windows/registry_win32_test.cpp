#include "platform/windows/scratch_registry_key.h"
#include "support/raw_values.h"

#include "core/settings/autostart.h"
#include "core/settings/registry.h"
#include "platform/windows/registry_user_fallback.h"
#include "platform/windows/registry_win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pellwick;
using namespace std::string_literals;
using pellwick::test::ReadRaw;
using pellwick::test::ScratchRegistryKey;

namespace {

const std::string kKey = "Software\\Pellwick";
const std::string kRunKey = RunKeyAutostart::kRunKey;
const RegistryValue kNone = std::monostate {};

// What a program reading through the A entry points gets for a UTF-16 text.
std::string ansiOf(const std::wstring &text)
{
    std::string bytes(text.size() * 4 + 1, '\0');
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, nullptr);
    bytes.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return bytes; // with its NUL, as the registry stores a text
}

std::string readA(HKEY key, const std::string &name)
{
    char data[256] = {};
    DWORD size = sizeof data;
    const auto bytes = reinterpret_cast<BYTE *>(data);
    return RegQueryValueExA(key, name.c_str(), nullptr, nullptr, bytes, &size) == ERROR_SUCCESS
               ? std::string(data, size)
               : "(missing)";
}

// The scratch key's two roots, each the machine root of a store of its own.
struct Roots
{
    ScratchRegistryKey scratch;
    Win32Registry machine {scratch.MachineRoot(), scratch.UserRoot()};
    Win32Registry user {scratch.UserRoot(), scratch.UserRoot()};
};

std::int32_t setText(RegistryBackend &backend, const std::string &name, const std::string &text)
{
    return Registry(backend).SetKeyValue(kHkeyLocalMachine, kKey, name, text, kRegSz);
}

} // namespace

TEST(Win32Registry, TextsMeanWhatTheANSIEntryPointsOfOtherProgramsRead)
{
    Roots r;
    Registry registry(r.machine);
    HKEY key = nullptr;
    RegCreateKeyExA(reinterpret_cast<HKEY>(r.scratch.MachineRoot()), kKey.c_str(), 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const std::wstring wide = L"Caf\u00e9 \u00e0 5 \u20ac";
    const std::string utf8 = "Caf\xc3\xa9 \xc3\xa0 5 \xe2\x82\xac";
    ASSERT_NE(ansiOf(wide), utf8 + '\0') << "the code page must differ from UTF-8 to tell";

    // Written by this program, read by another through the A entry points.
    setText(r.machine, "Subject", utf8);
    EXPECT_EQ(readA(key, "Subject"), ansiOf(wide));

    // Written by another program, read and saved back by this one unchanged.
    const std::string ansi = ansiOf(wide);
    RegSetValueExA(key, "Other", 0, REG_SZ, reinterpret_cast<const BYTE *>(ansi.data()),
                   static_cast<DWORD>(ansi.size()));
    const RegistryValue read = registry.QueryValue(kHkeyLocalMachine, kKey, "Other", kNone);
    EXPECT_EQ(read, RegistryValue(utf8));
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Other", read, kRegSz);
    EXPECT_EQ(readA(key, "Other"), ansi);

    // Value names cross the same way; numbers and raw bytes are stored as they are.
    registry.SetKeyValue(kHkeyLocalMachine, kKey,
                         "Gr\xc3\xbc\xc3\x9f"
                         "e",
                         std::int32_t {-2}, kRegDword);
    EXPECT_EQ(readA(key, ansiOf(L"Gr\u00fc\u00dfe").c_str()), "\xFE\xFF\xFF\xFF");
    RegCloseKey(key);
}

TEST(UserFallbackRegistry, RefusedMachineWritesLandUnderTheUserAndAreReadFromThere)
{
    Roots r;
    setText(r.machine, "SMTPServer", "machine.example");
    setText(r.machine, "Sender", "admin@example.com");
    // As for a user without administrator rights: the machine's keys cannot change.
    r.scratch.MakeMachineKeyReadOnly(L"Software\\Pellwick");
    r.scratch.MakeMachineKeyReadOnly(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");

    UserFallbackRegistry backend(std::make_unique<Win32Registry>(r.machine));
    Registry registry(backend);
    EXPECT_EQ(setText(backend, "SMTPServer", "user.example"), 0);
    EXPECT_EQ(ReadRaw(r.user, kKey, "SMTPServer").bytes, std::string("user.example\0", 13));
    EXPECT_EQ(ReadRaw(r.machine, kKey, "SMTPServer").bytes, std::string("machine.example\0", 16));
    // The user's value wins; where the user has none, the machine's is read.
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "SMTPServer", kNone),
              RegistryValue(std::string("user.example")));
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Sender", kNone),
              RegistryValue(std::string("admin@example.com")));

    // The command names the program by its title and is quoted only with a blank.
    RunKeyAutostart autostart(registry, "C:\\My Tools");
    autostart.Register();
    EXPECT_EQ(ReadRaw(r.user, kRunKey, "Pellwick").bytes,
              "\"C:\\My Tools\\Pellwick.exe\" /s"s + '\0');
    EXPECT_EQ(ReadRaw(r.machine, kRunKey, "Pellwick").status, kErrorFileNotFound);
    autostart.Unregister();
    autostart.Unregister(); // nothing left to remove
    EXPECT_EQ(ReadRaw(r.user, kRunKey, "Pellwick").status, kErrorFileNotFound);
}

TEST(UserFallbackRegistry, AWritableMachineGetsEveryWriteAndDropsTheUsersOldCopy)
{
    Roots r;
    setText(r.user, "SMTPServer", "old.example"); // left by a run without administrator rights
    UserFallbackRegistry backend(std::make_unique<Win32Registry>(r.machine));
    EXPECT_EQ(setText(backend, "SMTPServer", "new.example"), 0);
    EXPECT_EQ(ReadRaw(r.machine, kKey, "SMTPServer").bytes, std::string("new.example\0", 12));
    EXPECT_EQ(ReadRaw(r.user, kKey, "SMTPServer").status, kErrorFileNotFound);
    EXPECT_EQ(ReadRaw(backend, kKey, "SMTPServer").bytes, std::string("new.example\0", 12));
    EXPECT_EQ(Registry(backend).DeleteValue(kHkeyLocalMachine, kKey, "Absent"), kErrorFileNotFound);
}

TEST(UserFallbackRegistry, ASaveRefusedByBothRootsIsToldOnceWithKeyValueAndCause)
{
    Roots r;
    // The user root is the read-only machine key too: no write can land anywhere.
    r.scratch.MakeMachineKeyReadOnly(L"Software\\Pellwick");
    std::vector<std::string> told;
    const auto tell = [&told](const std::string &line) {
        told.push_back(line);
    };
    UserFallbackRegistry backend(
        std::make_unique<Win32Registry>(r.scratch.MachineRoot(), r.scratch.MachineRoot()), tell);
    Registry registry(backend);

    registry.BeginBatch();
    EXPECT_EQ(setText(backend, "SMTPServer", "mail.example"), kErrorAccessDenied);
    setText(backend, "Sender", "a@example");
    const StoreResult saved = registry.CommitBatch();
    EXPECT_EQ(saved.status, kErrorAccessDenied);
    // The key itself could not be made, so it names no value.
    EXPECT_EQ(saved.message, "Pellwick: cannot save the settings to "
                             "HKEY_CURRENT_USER\\Software\\Pellwick: Access denied");
    EXPECT_EQ(told, std::vector<std::string> {saved.message});

    // The next batch starts afresh; a write that lands is no failure.
    UserFallbackRegistry fine(std::make_unique<Win32Registry>(r.user), tell);
    Registry(fine).BeginBatch();
    setText(fine, "Sender", "a@b");
    EXPECT_FALSE(Registry(fine).CommitBatch().Failed());
    EXPECT_EQ(told.size(), 1u);
}
