#include "support/memory_registry.h"
#include "support/raw_values.h"
#include "support/test_registry_store.h"

#include "core/settings/autostart.h"
#include "core/settings/registry.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;
using namespace pellwick::test;

namespace {

const std::string kKey = "Software\\Pellwick";
const RegistryValue kFallback = std::string("fallback");

} // namespace

// The same cases on every store the platform gives: the hive file on Linux, the
// real registry on Windows (tests/platform/<os>/test_registry_store.cpp).
class RegistryLayer : public ::testing::TestWithParam<TestRegistryStore>
{
protected:
    std::unique_ptr<RegistryBackend> m_store = GetParam()();
    RegistryBackend &store = *m_store;
    Registry registry {store};
};

TEST_P(RegistryLayer, ValuesAreStoredInTheirTypesBytesAndReadBack)
{
    struct Case
    {
        RegistryValue written;
        std::uint32_t type;
        std::int32_t status;
        std::string bytes;
        RegistryValue read;
    };
    const std::vector<Case> cases = {
        {std::string("abc"), kRegSz, 0, std::string("abc\0", 4), std::string("abc")},
        {std::string(), kRegSz, 0, std::string(1, '\0'), std::string()},
        {std::int32_t {-45}, kRegSz, 0, std::string("-45\0", 4), std::string("-45")},
        {std::monostate {}, kRegSz, 0, std::string(1, '\0'), std::string()},
        {std::int32_t {1}, kRegDword, 0, std::string("\x01\0\0\0", 4), std::int32_t {1}},
        {std::int32_t {-1}, kRegDword, 0, "\xFF\xFF\xFF\xFF", std::int32_t {-1}},
        {std::string("258"), kRegDword, 0, std::string("\x02\x01\0\0", 4), std::int32_t {258}},
        // A text that is no number is refused rather than stored as something else.
        {std::string("on"), kRegDword, kErrorInvalidParameter, "", kFallback},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        const std::string name = "V" + std::to_string(i);
        EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, name, c.written, c.type), c.status)
            << i;
        const RawValue raw = ReadRaw(store, kKey, name);
        EXPECT_EQ(raw.bytes, c.bytes) << i;
        EXPECT_EQ(raw.type, c.status == 0 ? c.type : 0) << i;
        EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, name, kFallback), c.read) << i;
    }
}

TEST_P(RegistryLayer, MissingKeysAndValuesGiveTheDefaultAndOnlyDeleteValueCreatesAKey)
{
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "SMTPServer", kFallback), kFallback);
    EXPECT_FALSE(KeyExists(store, kKey));

    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Present", std::int32_t {1}, kRegDword);
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, "Software\\Other", "Present", kFallback),
              kFallback);
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Absent", kFallback), kFallback);
    EXPECT_FALSE(KeyExists(store, "Software\\Other"));
    EXPECT_EQ(ReadRaw(store, kKey, "Absent").status, kErrorFileNotFound);

    // DeleteValue, unlike reads, creates the key.
    EXPECT_EQ(registry.DeleteValue(kHkeyLocalMachine, "Software\\Gone", "Pellwick"),
              kErrorFileNotFound);
    EXPECT_TRUE(KeyExists(store, "Software\\Gone"));

    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Here", std::string("x"), kRegSz);
    EXPECT_EQ(registry.DeleteValue(kHkeyLocalMachine, "SOFTWARE\\PELLWICK", "HERE"), 0);
    EXPECT_EQ(ReadRaw(store, kKey, "Here").status, kErrorFileNotFound);
}

TEST_P(RegistryLayer, OtherTypesAndOddTextsReadAsTheRegistryDeliversThem)
{
    const RegistryValue abc = std::string("abc");
    for (const auto &[type, bytes, read] :
         std::vector<std::tuple<std::uint32_t, std::string, RegistryValue>> {
             {kRegBinary, "\x01\x02", kFallback},
             {kRegExpandSz, std::string("%PATH%\0", 7), kFallback},
             {kRegSz, "abc", abc},
             {kRegSz, std::string("abc\0\0", 5), std::string("abc\0", 4)},
             {kRegSz, "", kFallback},
             {kRegDword, "\x07", std::int32_t {7}},
             {kRegDword, std::string("\x01\0\0\0\0\0\0\0", 8), kFallback}}) {
        WriteRaw(store, kKey, "V", type, bytes);
        EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "V", kFallback), read)
            << type << " " << bytes;
    }
}

TEST_P(RegistryLayer, SetValueExOfAnotherTypeWritesNothingAndQueryValueExRaisesForAMissingValue)
{
    RegistryKey key = 0;
    ASSERT_EQ(store.CreateKey(kHkeyLocalMachine, kKey, kKeyRead | kKeyWrite, key), 0);
    EXPECT_EQ(registry.SetValueEx(key, "Bin", kRegBinary, std::string("x")), 0);
    EXPECT_EQ(registry.SetValueEx(key, "Expand", kRegExpandSz, std::string("x")), 0);
    EXPECT_EQ(ReadRaw(store, kKey, "Bin").status, kErrorFileNotFound);
    EXPECT_EQ(ReadRaw(store, kKey, "Expand").status, kErrorFileNotFound);
    RegistryValue value;
    try {
        registry.QueryValueEx(key, "Missing", value, kKey);
        ADD_FAILURE() << "no error raised";
    } catch (const RegistryError &error) {
        EXPECT_EQ(error.Number(), -2147220991);
        EXPECT_STREQ(error.what(), "Registry.QueryValueEx  Invalid Registry Key Name in: "
                                   "Software\\Pellwick\\Missing");
    }
    store.CloseKey(key);
}

INSTANTIATE_TEST_SUITE_P(PlatformStore, RegistryLayer, ::testing::Values(&MakeTestRegistryStore));

// What the layer asks of any backend, seen on one kept in memory.
TEST(RegistryCalls, RightsAskedKeysClosedAndQueryValueNeverFailsOrGivesACutValue)
{
    MemoryRegistry store;
    Registry registry(store);
    store.interfere = [](const std::string &call) {
        EXPECT_TRUE(!call.starts_with("CreateKey") || call.ends_with(std::to_string(kKeyWrite)))
            << call;
        EXPECT_TRUE(!call.starts_with("OpenKey") || call.ends_with(std::to_string(kKeyRead)))
            << call;
        return 0;
    };
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("hi"), kRegSz);
    registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback);
    registry.QueryValue(kHkeyLocalMachine, kKey, "Missing", kFallback);
    registry.DeleteValue(kHkeyLocalMachine, kKey, "Msg");
    EXPECT_EQ(store.OpenKeys(), 0u);

    // No error ever leaves QueryValue.
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("hi"), kRegSz);
    for (const std::string failing : {"OpenKey", "QueryValueInfo", "QueryValueData"}) {
        store.interfere = [failing](const std::string &call) {
            if (call.starts_with(failing))
                throw std::runtime_error("backend broke");
            return 0;
        };
        RegistryValue value;
        EXPECT_NO_THROW(value = registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback))
            << failing;
        EXPECT_EQ(value, kFallback) << failing;
        EXPECT_EQ(store.OpenKeys(), 0u) << failing;
    }

    // A value that grew or shrank between the look at its size and the read gives
    // the default, never a cut or padded text.
    for (const std::string changed : {"longer", "h"}) {
        registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("hi"), kRegSz);
        store.interfere = [&store, changed](const std::string &call) {
            if (call.starts_with("QueryValueData"))
                store.hive.SetValue("HKEY_LOCAL_MACHINE\\" + kKey, "Msg", kRegSz, changed);
            return 0;
        };
        EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback), kFallback)
            << changed;
    }
}

TEST(RunKeyAutostart, IsWrittenOnlyWhenItsCommandDiffers)
{
    MemoryRegistry store;
    Registry registry(store);
    registry.SetKeyValue(kHkeyLocalMachine, RunKeyAutostart::kRunKey, "Pellwick",
                         std::string("C:\\Old\\Pellwick.exe /s"), kRegSz);
    RunKeyAutostart autostart(registry, "C:\\Tools");
    autostart.Register();
    autostart.Register();
    EXPECT_EQ(store.writesOutsideBatch, 2);
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, RunKeyAutostart::kRunKey, "Pellwick", {}),
              RegistryValue {std::string("C:\\Tools\\Pellwick.exe /s")});
}
