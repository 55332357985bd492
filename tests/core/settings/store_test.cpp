// SPDX-License-Identifier: MIT
#include "support/memory_store.h"
#include "support/test_registry_store.h"

#include "core/settings/autostart.h"
#include "core/settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;
using namespace pellwick::test;
using namespace std::string_literals;

// The same cases on every store the platform gives: the hive file on Linux, the
// real registry on Windows (tests/platform/<os>/test_registry_store.cpp).
class PlatformStore : public ::testing::Test
{
protected:
    void Put(const std::string &name, std::optional<StoredValue> value)
    {
        store->Write(name, std::move(value));
        EXPECT_EQ(store->Commit(), "") << name;
    }

    std::unique_ptr<TestStorePlace> place = MakeTestStorePlace();
    std::unique_ptr<SettingsStore> store = place->Open(kSettingsKey);
};

TEST_F(PlatformStore, ValuesAreStoredInTheirTypesBytesAndReadBack)
{
    for (const auto &[value, stored] : std::vector<std::pair<SettingValue, StoredValue>> {
             {"abc"s, {kTextType, "abc\0"s}},
             {""s, {kTextType, "\0"s}},
             {std::int32_t {-1}, {kNumberType, "\xFF\xFF\xFF\xFF"s}},
             {std::int32_t {258}, {kNumberType, "\x02\x01\0\0"s}},
         }) {
        Put("V", Stored(value));
        // Read as the next start reads it.
        const auto read = place->Open(kSettingsKey)->Read("V");
        EXPECT_EQ(read, stored);
        EXPECT_EQ(Decoded(read.value_or(StoredValue {})), value);
    }
}

TEST_F(PlatformStore, OtherTypesAndOddTextsReadAsTheStoreDeliversThem)
{
    using Case = std::tuple<std::uint32_t, std::string, std::optional<SettingValue>>;
    for (const auto &[type, bytes, value] : std::vector<Case> {
             {kBinaryType, "\x01\x02", std::nullopt},
             {kTextType, "abc", "abc"s},
             {kTextType, "abc\0\0"s, "abc\0"s},
             {kTextType, "", std::nullopt},
             {kNumberType, "\x07", std::int32_t {7}},
             {kNumberType, "\x01\0\0\0\0\0\0\0"s, std::nullopt},
         }) {
        Put("V", StoredValue {type, bytes});
        // The registry reads a text stored without its NUL with one.
        const auto read = store->Read("V");
        EXPECT_EQ(read.value_or(StoredValue {}).type, type);
        EXPECT_EQ(Decoded(read.value_or(StoredValue {})), value) << type;
    }
}

TEST_F(PlatformStore, NamesMatchInAnyCaseKeysStayApartAndRemovalsNeedNoValue)
{
    EXPECT_EQ(store->Read("SMTPServer"), std::nullopt);
    store->Write("Here", Stored("x"s));
    EXPECT_EQ(store->Read("HERE"), Stored("x"s)) << "a write is read before its commit";
    EXPECT_EQ(store->Commit(), "");
    EXPECT_EQ(place->Open("Software\\Other")->Read("Here"), std::nullopt);
    Put("hERE", std::nullopt);
    EXPECT_EQ(place->Open(kSettingsKey)->Read("Here"), std::nullopt);
    Put("Here", std::nullopt);
}

// The real Run key's entry is checked by the Windows end-to-end run.
TEST(RunKeyAutostart, NamesTheProgramQuotedOnlyWithABlankAndIsWrittenOnlyWhenItDiffers)
{
    for (const auto &[folder, command] : std::vector<std::pair<std::string, std::string>> {
             {"C:\\Tools", "C:\\Tools\\Pellwick.exe /s"},
             {"C:\\My Tools", "\"C:\\My Tools\\Pellwick.exe\" /s"},
         }) {
        auto owned = std::make_unique<MemoryStore>();
        MemoryStore &store = *owned;
        RunKeyAutostart autostart(std::move(owned), folder);
        autostart.Register();
        autostart.Register();
        EXPECT_EQ(store.commits, 1);
        EXPECT_EQ(store.Read("Pellwick"), Stored(command));
        autostart.Unregister();
        autostart.Unregister(); // nothing left to remove
        EXPECT_EQ(store.Read("Pellwick"), std::nullopt);
    }
}

TEST(Settings, LoadedValuesBecomeWhatTheirRowCanHold)
{
    using Row = std::tuple<const char *, StoredValue, SettingValue>;
    for (const auto &[name, stored, loaded] : {
             Row {"TimerValue", Stored("12 min"s), "12 min"s},
             Row {"TimerValue", Stored(-7), "-7"s},
             Row {"AutoMail", Stored(-1), 1},
             Row {"AutoMail", Stored("+99999999999999999999"s), 1},
             Row {"AutoMail", Stored("yes"s), 0},
             Row {"ShowIP", Stored(" 1"s), 1},
             Row {"TimerValueType", Stored(3), -1},
             Row {"SMTPPort", Stored(0), 25},
             // An unknown protection must not mean plain text.
             Row {"SMTPSecurity", Stored(7), 1},
         }) {
        test::MemoryStore store;
        store.Write(name, stored);
        const Settings settings = Settings::Load(store);
        EXPECT_EQ(std::holds_alternative<std::string>(loaded) ? SettingValue(settings.Text(name))
                                                              : settings.Number(name),
                  loaded)
            << name;
    }
}
