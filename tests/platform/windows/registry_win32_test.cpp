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

HKEY openMachineKey(const ScratchRegistryKey &scratch)
{
    HKEY key = nullptr;
    RegCreateKeyExA(reinterpret_cast<HKEY>(scratch.MachineRoot()), kKey.c_str(), 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

std::string readA(HKEY key, const std::string &name)
{
    char data[256] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(data), &size)
        != ERROR_SUCCESS)
        return "(missing)";
    return std::string(data, size);
}

} // namespace

TEST(Win32Registry, TextsMeanWhatTheANSIEntryPointsOfOtherProgramsRead)
{
    ScratchRegistryKey scratch;
    Win32Registry backend(scratch.MachineRoot(), scratch.UserRoot());
    Registry registry(backend);
    const HKEY key = openMachineKey(scratch);
    const std::wstring wide = L"Caf\u00e9 \u00e0 5 \u20ac";
    const std::string utf8 = "Caf\xc3\xa9 \xc3\xa0 5 \xe2\x82\xac";
    ASSERT_NE(ansiOf(wide), utf8 + '\0') << "the code page must differ from UTF-8 to tell";

    // Written by this program, read by another through the A entry points.
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Subject", utf8, kRegSz);
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
    ScratchRegistryKey scratch;
    Win32Registry machineView(scratch.MachineRoot(), scratch.UserRoot());
    Win32Registry userView(scratch.UserRoot(), scratch.UserRoot());
    Registry(machineView)
        .SetKeyValue(kHkeyLocalMachine, kKey, "SMTPServer", std::string("machine.example"), kRegSz);
    Registry(machineView)
        .SetKeyValue(kHkeyLocalMachine, kKey, "Sender", std::string("admin@example.com"), kRegSz);
    // As for a user without administrator rights: the machine's keys cannot change.
    scratch.MakeMachineKeyReadOnly(L"Software\\Pellwick");
    scratch.MakeMachineKeyReadOnly(L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");

    UserFallbackRegistry backend(std::make_unique<Win32Registry>(machineView));
    Registry registry(backend);
    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "SMTPServer",
                                   std::string("user.example"), kRegSz),
              0);
    EXPECT_EQ(ReadRaw(userView, kKey, "SMTPServer").bytes, std::string("user.example\0", 13));
    EXPECT_EQ(ReadRaw(machineView, kKey, "SMTPServer").bytes, std::string("machine.example\0", 16));
    // The user's value wins; where the user has none, the machine's is read.
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "SMTPServer", kNone),
              RegistryValue(std::string("user.example")));
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Sender", kNone),
              RegistryValue(std::string("admin@example.com")));

    RunKeyAutostart autostart(registry, "C:\\Tools");
    autostart.Register();
    EXPECT_EQ(Registry(userView).QueryValue(kHkeyLocalMachine, kRunKey, "Pellwick", kNone),
              RegistryValue(std::string("C:\\Tools\\Pellwick.exe /s")));
    EXPECT_EQ(ReadRaw(machineView, kRunKey, "Pellwick").status, kErrorFileNotFound);
    autostart.Unregister();
    EXPECT_EQ(ReadRaw(userView, kRunKey, "Pellwick").status, kErrorFileNotFound);
}

TEST(UserFallbackRegistry, AWritableMachineGetsEveryWriteAndDropsTheUsersOldCopy)
{
    ScratchRegistryKey scratch;
    Win32Registry machineView(scratch.MachineRoot(), scratch.UserRoot());
    Win32Registry userView(scratch.UserRoot(), scratch.UserRoot());
    // Left by an earlier run without administrator rights.
    Registry(userView).SetKeyValue(kHkeyLocalMachine, kKey, "SMTPServer",
                                   std::string("old.example"), kRegSz);

    UserFallbackRegistry backend(std::make_unique<Win32Registry>(machineView));
    Registry registry(backend);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "SMTPServer", std::string("new.example"), kRegSz);
    EXPECT_EQ(ReadRaw(machineView, kKey, "SMTPServer").bytes, std::string("new.example\0", 12));
    EXPECT_EQ(ReadRaw(userView, kKey, "SMTPServer").status, kErrorFileNotFound);
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "SMTPServer", kNone),
              RegistryValue(std::string("new.example")));
    EXPECT_EQ(registry.DeleteValue(kHkeyLocalMachine, kKey, "Absent"), kErrorFileNotFound);
}

TEST(UserFallbackRegistry, ASaveRefusedByBothRootsIsToldOnceWithKeyValueAndCause)
{
    ScratchRegistryKey scratch;
    // The user root is the read-only machine key too: no write can land anywhere.
    scratch.MakeMachineKeyReadOnly(L"Software\\Pellwick");
    std::vector<std::string> told;
    UserFallbackRegistry backend(
        std::make_unique<Win32Registry>(scratch.MachineRoot(), scratch.MachineRoot()),
        [&told](const std::string &line) { told.push_back(line); });
    Registry registry(backend);

    registry.BeginBatch();
    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "SMTPServer",
                                   std::string("mail.example"), kRegSz),
              kErrorAccessDenied);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Sender", std::string("a@example"), kRegSz);
    const StoreResult saved = registry.CommitBatch();
    EXPECT_EQ(saved.status, kErrorAccessDenied);
    // The key itself could not be made, so it names no value.
    EXPECT_EQ(saved.message, "Pellwick: cannot save the settings to "
                             "HKEY_CURRENT_USER\\Software\\Pellwick: Access denied");
    EXPECT_EQ(told, std::vector<std::string> {saved.message});

    // The next batch starts afresh; a write that lands is no failure.
    Win32Registry writable(scratch.UserRoot(), scratch.UserRoot());
    UserFallbackRegistry fine(std::make_unique<Win32Registry>(writable),
                              [&told](const auto &line) { told.push_back(line); });
    Registry(fine).BeginBatch();
    Registry(fine).SetKeyValue(kHkeyLocalMachine, kKey, "Sender", std::string("a@b"), kRegSz);
    EXPECT_FALSE(Registry(fine).CommitBatch().Failed());
    EXPECT_EQ(told.size(), 1u);
}
