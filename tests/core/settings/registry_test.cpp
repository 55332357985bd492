#include "support/raw_values.h"
#include "support/recording_backend.h"
#include "support/test_registry_store.h"

#include "core/settings/registry.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace pellwick;
using pellwick::test::KeyExists;
using pellwick::test::RawValue;
using pellwick::test::ReadRaw;
using pellwick::test::RecordingBackend;
using pellwick::test::WriteRaw;

namespace {

const std::string kKey = "Software\\Pellwick";
const RegistryValue kFallback = std::string("fallback");

} // namespace

// The same cases on every store the platform gives: the hive file on Linux, the
// real registry on Windows (tests/platform/<os> instantiates the suite).
class RegistryLayer : public ::testing::TestWithParam<test::TestRegistryStore>
{
protected:
    std::unique_ptr<RegistryBackend> m_store = GetParam()();
    RegistryBackend &store = *m_store;
    Registry registry {store};
};

TEST_P(RegistryLayer, TextsAreStoredWithOneNulAndReadBackWithoutIt)
{
    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "Abc", std::string("abc"), kRegSz), 0);
    const RawValue abc = ReadRaw(store, kKey, "Abc");
    EXPECT_EQ(abc.type, kRegSz);
    EXPECT_EQ(abc.bytes, std::string("abc\0", 4));
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Abc", kFallback),
              RegistryValue(std::string("abc")));

    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "Empty", std::string(), kRegSz), 0);
    EXPECT_EQ(ReadRaw(store, kKey, "Empty").bytes, std::string(1, '\0'));
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Empty", kFallback),
              RegistryValue(std::string()));

    // A number or nothing given for a text is stored as its text form.
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Number", std::int32_t {-45}, kRegSz);
    EXPECT_EQ(ReadRaw(store, kKey, "Number").bytes, std::string("-45\0", 4));
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Nothing", std::monostate {}, kRegSz);
    EXPECT_EQ(ReadRaw(store, kKey, "Nothing").bytes, std::string(1, '\0'));
}

TEST_P(RegistryLayer, NumbersAreFourLittleEndianBytesReadBackSigned)
{
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "One", std::int32_t {1}, kRegDword);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "MinusOne", std::int32_t {-1}, kRegDword);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Digits", std::string("258"), kRegDword);
    EXPECT_EQ(ReadRaw(store, kKey, "One").bytes, std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(ReadRaw(store, kKey, "One").type, kRegDword);
    EXPECT_EQ(ReadRaw(store, kKey, "MinusOne").bytes, "\xFF\xFF\xFF\xFF");
    EXPECT_EQ(ReadRaw(store, kKey, "Digits").bytes, std::string("\x02\x01\x00\x00", 4));
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "MinusOne", kFallback),
              RegistryValue(std::int32_t {-1}));
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "One", kFallback),
              RegistryValue(std::int32_t {1}));

    // A text that is no number is refused rather than stored as something else.
    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "Word", std::string("on"), kRegDword),
              kErrorInvalidParameter);
    EXPECT_EQ(ReadRaw(store, kKey, "Word").status, kErrorFileNotFound);
}

TEST_P(RegistryLayer, MissingKeysAndValuesGiveTheDefaultAndCreateNothing)
{
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "SMTPServer", kFallback), kFallback);
    EXPECT_FALSE(KeyExists(store, kKey));

    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Present", std::int32_t {1}, kRegDword);
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, "Software\\Other", "Present", kFallback),
              kFallback);
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Absent", kFallback), kFallback);
    EXPECT_FALSE(KeyExists(store, "Software\\Other"));
    EXPECT_EQ(ReadRaw(store, kKey, "Absent").status, kErrorFileNotFound);
}

TEST_P(RegistryLayer, OtherTypesAndOddTextsReadAsTheRegistryDeliversThem)
{
    WriteRaw(store, kKey, "Binary", kRegBinary, "\x01\x02");
    WriteRaw(store, kKey, "Expand", kRegExpandSz, std::string("%PATH%\0", 7));
    WriteRaw(store, kKey, "NoNul", kRegSz, "abc");
    WriteRaw(store, kKey, "TwoNuls", kRegSz, std::string("abc\0\0", 5));
    WriteRaw(store, kKey, "ZeroBytes", kRegSz, "");
    WriteRaw(store, kKey, "ShortDword", kRegDword, "\x07");
    WriteRaw(store, kKey, "LongDword", kRegDword, std::string("\x01\0\0\0\0\0\0\0", 8));

    const auto query = [this](const std::string &name) {
        return registry.QueryValue(kHkeyLocalMachine, kKey, name, kFallback);
    };
    EXPECT_EQ(query("Binary"), kFallback);
    EXPECT_EQ(query("Expand"), kFallback);
    EXPECT_EQ(query("NoNul"), RegistryValue(std::string("abc")));
    EXPECT_EQ(query("TwoNuls"), RegistryValue(std::string("abc\0", 4)));
    EXPECT_EQ(query("ZeroBytes"), kFallback);
    EXPECT_EQ(query("ShortDword"), RegistryValue(std::int32_t {7}));
    EXPECT_EQ(query("LongDword"), kFallback);
}

TEST_P(RegistryLayer, DeleteValueCreatesTheKeyAndReportsAMissingValue)
{
    EXPECT_EQ(registry.DeleteValue(kHkeyLocalMachine, "Software\\Gone", "Pellwick"),
              kErrorFileNotFound);
    EXPECT_TRUE(KeyExists(store, "Software\\Gone"));

    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Here", std::string("x"), kRegSz);
    EXPECT_EQ(registry.DeleteValue(kHkeyLocalMachine, "SOFTWARE\\PELLWICK", "HERE"), 0);
    EXPECT_EQ(ReadRaw(store, kKey, "Here").status, kErrorFileNotFound);
}

TEST_P(RegistryLayer, SetValueExOfAnotherTypeWritesNothing)
{
    RegistryKey key = 0;
    ASSERT_EQ(store.CreateKey(kHkeyLocalMachine, kKey, kKeyWrite, key), 0);
    EXPECT_EQ(registry.SetValueEx(key, "Bin", kRegBinary, std::string("x")), 0);
    EXPECT_EQ(registry.SetValueEx(key, "Expand", kRegExpandSz, std::string("x")), 0);
    store.CloseKey(key);
    EXPECT_EQ(ReadRaw(store, kKey, "Bin").status, kErrorFileNotFound);
    EXPECT_EQ(ReadRaw(store, kKey, "Expand").status, kErrorFileNotFound);
}

TEST_P(RegistryLayer, QueryValueExRaisesInvalidKeyNameForAMissingValue)
{
    RegistryKey key = 0;
    ASSERT_EQ(store.CreateKey(kHkeyLocalMachine, kKey, kKeyRead | kKeyWrite, key), 0);
    RegistryValue value;
    try {
        registry.QueryValueEx(key, "Missing", value, kKey);
        ADD_FAILURE() << "no error raised";
    } catch (const RegistryError &error) {
        EXPECT_EQ(error.Number(), -2147220991);
        EXPECT_EQ(
            error.Description(),
            "Registry.QueryValueEx  Invalid Registry Key Name in: Software\\Pellwick\\Missing");
        EXPECT_STREQ(error.what(), error.Description().c_str());
    }
    store.CloseKey(key);
}

TEST_P(RegistryLayer, CallsOpenWithTheirRightsAndAlwaysCloseTheKey)
{
    RecordingBackend spy(store);
    Registry spied(spy);

    spied.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("hi"), kRegSz);
    spied.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback);
    spied.QueryValue(kHkeyLocalMachine, kKey, "Missing", kFallback);
    spied.DeleteValue(kHkeyLocalMachine, kKey, "Msg");
    EXPECT_EQ(spy.calls, (std::vector<std::string> {
                             "CreateKey 80000002 Software\\Pellwick 20006",
                             "SetValue Msg 1 3",
                             "CloseKey",
                             "OpenKey 80000002 Software\\Pellwick 20019",
                             "QueryValueInfo Msg",
                             "QueryValueData Msg 3",
                             "CloseKey",
                             "OpenKey 80000002 Software\\Pellwick 20019",
                             "QueryValueInfo Missing",
                             "CloseKey",
                             "CreateKey 80000002 Software\\Pellwick 20006",
                             "DeleteValue Msg",
                             "CloseKey",
                         }));
    EXPECT_EQ(spy.openKeys, 0);

    // A key opened for writing cannot be read, nor one opened for reading written.
    RegistryKey key = 0;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    store.OpenKey(kHkeyLocalMachine, kKey, kKeyWrite, key);
    EXPECT_EQ(store.QueryValueInfo(key, "Msg", type, size), kErrorAccessDenied);
    store.CloseKey(key);
    store.OpenKey(kHkeyLocalMachine, kKey, kKeyRead, key);
    EXPECT_EQ(store.SetValue(key, "Msg", kRegSz, nullptr, 0), kErrorAccessDenied);
    EXPECT_EQ(store.DeleteValue(key, "Msg"), kErrorAccessDenied);
    store.CloseKey(key);
    EXPECT_EQ(store.CloseKey(key), kErrorInvalidHandle);
}

TEST_P(RegistryLayer, NoErrorEverLeavesQueryValue)
{
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("hi"), kRegSz);
    RecordingBackend spy(store);
    Registry spied(spy);

    for (const std::string failing : {"OpenKey", "QueryValueInfo", "QueryValueData"}) {
        spy.interfere = [failing](const std::string &call) {
            if (call.rfind(failing, 0) == 0)
                throw std::runtime_error("backend broke");
            return 0;
        };
        RegistryValue value;
        EXPECT_NO_THROW(value = spied.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback))
            << failing;
        EXPECT_EQ(value, kFallback) << failing;
        EXPECT_EQ(spy.openKeys, 0) << failing;
    }

    // A value that grew between the look at its size and the read gives the default.
    spy.interfere = [this](const std::string &call) {
        if (call.rfind("QueryValueData", 0) == 0)
            registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("longer"), kRegSz);
        return 0;
    };
    EXPECT_EQ(spied.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback), kFallback);
}

INSTANTIATE_TEST_SUITE_P(PlatformStore, RegistryLayer,
                         ::testing::Values(&test::MakeTestRegistryStore));
