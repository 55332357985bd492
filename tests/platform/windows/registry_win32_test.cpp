// SPDX-License-Identifier: MIT
#include "platform/windows/scratch_registry_key.h"

#include "core/settings/settings.h"
#include "platform/windows/registry_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pellwick;
using namespace std::string_literals;
using pellwick::test::ScratchRegistryKey;

namespace {

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

// The scratch key's two roots, each alone, and the machine's with the user's
// behind it as the program has them.
struct Roots
{
    ScratchRegistryKey scratch;
    HKEY m = scratch.machine;
    HKEY u = scratch.user;
    RegistryStore machine {kSettingsKey, nullptr, m, m};
    RegistryStore user {kSettingsKey, nullptr, u, u};
    RegistryStore fallback {kSettingsKey, nullptr, m, u};
};

std::string setText(SettingsStore &store, const std::string &name, const std::string &text)
{
    store.Write(name, Stored(text));
    return store.Commit();
}

} // namespace

TEST(RegistryStore, TextsMeanWhatTheANSIEntryPointsOfOtherProgramsRead)
{
    Roots r;
    HKEY key = nullptr;
    RegCreateKeyExA(r.m, kSettingsKey.data(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
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
    const auto read = r.machine.Read("Other");
    EXPECT_EQ(read, Stored(utf8));
    r.machine.Write("Other", read);
    r.machine.Commit();
    EXPECT_EQ(readA(key, "Other"), ansi);

    RegCloseKey(key);
}

TEST(RegistryStore, WritesGoToTheMachineWhileItTakesThemElseToTheUserElseSayWhy)
{
    Roots r;
    // The user's copy, left by a run without administrator rights, goes once the
    // machine takes the write.
    setText(r.user, "SMTPServer", "old.example");
    EXPECT_EQ(setText(r.fallback, "SMTPServer", "machine.example"), "");
    EXPECT_EQ(r.user.Read("SMTPServer"), std::nullopt);
    setText(r.machine, "Sender", "admin@example.com");
    // As for a user without administrator rights: the machine's keys cannot change.
    r.scratch.MakeMachineKeyReadOnly();

    EXPECT_EQ(setText(r.fallback, "SMTPServer", "user.example"), "");
    EXPECT_EQ(r.user.Read("SMTPServer"), Stored("user.example"s));
    EXPECT_EQ(r.machine.Read("SMTPServer"), Stored("machine.example"s));
    // The user's value wins; where the user has none, the machine's is read.
    EXPECT_EQ(r.fallback.Read("SMTPServer"), Stored("user.example"s));
    EXPECT_EQ(r.fallback.Read("Sender"), Stored("admin@example.com"s));

    // With the read-only machine key as the user root too, no write lands anywhere:
    // told once, and the next commit starts afresh.
    std::vector<std::string> told;
    RegistryStore refusing(
        kSettingsKey, [&told](const std::string &line) { told.push_back(line); }, r.m, r.m);
    refusing.Write("SMTPServer", Stored("mail.example"s));
    refusing.Write("Sender", Stored("a@example"s));
    const std::string saved = refusing.Commit();
    // The key itself could not be made, so it names no value.
    EXPECT_EQ(saved, "Pellwick: cannot save the settings to "
                     "HKEY_CURRENT_USER\\Software\\Pellwick: Access denied");
    EXPECT_EQ(told, std::vector<std::string> {saved});
    EXPECT_EQ(refusing.Commit(), "");
}
