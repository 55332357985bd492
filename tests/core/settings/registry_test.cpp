#include "support/raw_values.h"
#include "support/recording_backend.h"
#include "support/temp_folder.h"

#include "core/settings/registry.h"
#include "platform/linux/hive_file.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

using namespace pellwick;
using pellwick::test::RawValue;
using pellwick::test::ReadBytes;
using pellwick::test::ReadRaw;
using pellwick::test::RecordingBackend;
using pellwick::test::TempFolder;
using pellwick::test::WriteRaw;

namespace {

const std::string kKey = "Software\\Pellwick";
const RegistryValue kFallback = std::string("fallback");

struct HiveRegistry
{
    TempFolder folder;
    HiveFile hive {folder / "registry.reg"};
    Registry registry {hive};
};

} // namespace

TEST(Registry, TextsAreStoredWithOneNulAndReadBackWithoutIt)
{
    HiveRegistry r;
    EXPECT_EQ(r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Abc", std::string("abc"), kRegSz),
              0);
    const RawValue abc = ReadRaw(r.hive, kKey, "Abc");
    EXPECT_EQ(abc.type, kRegSz);
    EXPECT_EQ(abc.bytes, std::string("abc\0", 4));
    EXPECT_EQ(r.registry.QueryValue(kHkeyLocalMachine, kKey, "Abc", kFallback),
              RegistryValue(std::string("abc")));

    EXPECT_EQ(r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Empty", std::string(), kRegSz), 0);
    EXPECT_EQ(ReadRaw(r.hive, kKey, "Empty").bytes, std::string(1, '\0'));
    EXPECT_EQ(r.registry.QueryValue(kHkeyLocalMachine, kKey, "Empty", kFallback),
              RegistryValue(std::string()));

    // A number or nothing given for a text is stored as its text form.
    r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Number", std::int32_t {-45}, kRegSz);
    EXPECT_EQ(ReadRaw(r.hive, kKey, "Number").bytes, std::string("-45\0", 4));
    r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Nothing", std::monostate {}, kRegSz);
    EXPECT_EQ(ReadRaw(r.hive, kKey, "Nothing").bytes, std::string(1, '\0'));
}

TEST(Registry, NumbersAreFourLittleEndianBytesReadBackSigned)
{
    HiveRegistry r;
    r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "One", std::int32_t {1}, kRegDword);
    r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "MinusOne", std::int32_t {-1}, kRegDword);
    r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Digits", std::string("258"), kRegDword);
    EXPECT_EQ(ReadRaw(r.hive, kKey, "One").bytes, std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(ReadRaw(r.hive, kKey, "One").type, kRegDword);
    EXPECT_EQ(ReadRaw(r.hive, kKey, "MinusOne").bytes, "\xFF\xFF\xFF\xFF");
    EXPECT_EQ(ReadRaw(r.hive, kKey, "Digits").bytes, std::string("\x02\x01\x00\x00", 4));
    EXPECT_EQ(r.registry.QueryValue(kHkeyLocalMachine, kKey, "MinusOne", kFallback),
              RegistryValue(std::int32_t {-1}));
    EXPECT_EQ(r.registry.QueryValue(kHkeyLocalMachine, kKey, "One", kFallback),
              RegistryValue(std::int32_t {1}));

    // A text that is no number is refused rather than stored as something else.
    EXPECT_EQ(r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Word", std::string("on"), kRegDword),
              kErrorInvalidParameter);
    EXPECT_EQ(ReadRaw(r.hive, kKey, "Word").status, kErrorFileNotFound);
}

TEST(Registry, MissingKeysAndValuesGiveTheDefaultAndCreateNothing)
{
    HiveRegistry r;
    EXPECT_EQ(r.registry.QueryValue(kHkeyLocalMachine, kKey, "SMTPServer", kFallback), kFallback);
    EXPECT_FALSE(std::filesystem::exists(r.hive.File()));

    r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Present", std::int32_t {1}, kRegDword);
    const std::string before = ReadBytes(r.hive.File());
    EXPECT_EQ(r.registry.QueryValue(kHkeyLocalMachine, "Software\\Other", "Present", kFallback),
              kFallback);
    EXPECT_EQ(r.registry.QueryValue(kHkeyLocalMachine, kKey, "Absent", kFallback), kFallback);
    EXPECT_EQ(ReadBytes(r.hive.File()), before);
}

TEST(Registry, OtherTypesAndOddTextsReadAsTheRegistryDeliversThem)
{
    HiveRegistry r;
    WriteRaw(r.hive, kKey, "Binary", kRegBinary, "\x01\x02");
    WriteRaw(r.hive, kKey, "Expand", kRegExpandSz, std::string("%PATH%\0", 7));
    WriteRaw(r.hive, kKey, "NoNul", kRegSz, "abc");
    WriteRaw(r.hive, kKey, "TwoNuls", kRegSz, std::string("abc\0\0", 5));
    WriteRaw(r.hive, kKey, "ZeroBytes", kRegSz, "");
    WriteRaw(r.hive, kKey, "ShortDword", kRegDword, "\x07");
    WriteRaw(r.hive, kKey, "LongDword", kRegDword, std::string("\x01\0\0\0\0\0\0\0", 8));

    const auto query = [&r](const std::string &name) {
        return r.registry.QueryValue(kHkeyLocalMachine, kKey, name, kFallback);
    };
    EXPECT_EQ(query("Binary"), kFallback);
    EXPECT_EQ(query("Expand"), kFallback);
    EXPECT_EQ(query("NoNul"), RegistryValue(std::string("abc")));
    EXPECT_EQ(query("TwoNuls"), RegistryValue(std::string("abc\0", 4)));
    EXPECT_EQ(query("ZeroBytes"), kFallback);
    EXPECT_EQ(query("ShortDword"), RegistryValue(std::int32_t {7}));
    EXPECT_EQ(query("LongDword"), kFallback);
}

TEST(Registry, DeleteValueCreatesTheKeyAndReportsAMissingValue)
{
    HiveRegistry r;
    EXPECT_EQ(r.registry.DeleteValue(kHkeyLocalMachine, "Software\\Gone", "Pellwick"),
              kErrorFileNotFound);
    EXPECT_EQ(ReadBytes(r.hive.File()),
              "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Gone]\r\n\r\n");

    r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Here", std::string("x"), kRegSz);
    EXPECT_EQ(r.registry.DeleteValue(kHkeyLocalMachine, "SOFTWARE\\PELLWICK", "HERE"), 0);
    EXPECT_EQ(ReadRaw(r.hive, kKey, "Here").status, kErrorFileNotFound);
}

TEST(Registry, SetValueExOfAnotherTypeWritesNothing)
{
    HiveRegistry r;
    RegistryKey key = 0;
    ASSERT_EQ(r.hive.CreateKey(kHkeyLocalMachine, kKey, kKeyWrite, key), 0);
    const std::string before = ReadBytes(r.hive.File());
    EXPECT_EQ(r.registry.SetValueEx(key, "Bin", kRegBinary, std::string("x")), 0);
    EXPECT_EQ(r.registry.SetValueEx(key, "Expand", kRegExpandSz, std::string("x")), 0);
    r.hive.CloseKey(key);
    EXPECT_EQ(ReadBytes(r.hive.File()), before);
}

TEST(Registry, QueryValueExRaisesInvalidKeyNameForAMissingValue)
{
    HiveRegistry r;
    RegistryKey key = 0;
    ASSERT_EQ(r.hive.CreateKey(kHkeyLocalMachine, kKey, kKeyRead | kKeyWrite, key), 0);
    RegistryValue value;
    try {
        r.registry.QueryValueEx(key, "Missing", value, kKey);
        ADD_FAILURE() << "no error raised";
    } catch (const RegistryError &error) {
        EXPECT_EQ(error.Number(), -2147220991);
        EXPECT_EQ(
            error.Description(),
            "Registry.QueryValueEx  Invalid Registry Key Name in: Software\\Pellwick\\Missing");
        EXPECT_STREQ(error.what(), error.Description().c_str());
    }
    r.hive.CloseKey(key);
}

TEST(Registry, CallsOpenWithTheirRightsAndAlwaysCloseTheKey)
{
    HiveRegistry r;
    RecordingBackend spy(r.hive);
    Registry registry(spy);

    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("hi"), kRegSz);
    registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback);
    registry.QueryValue(kHkeyLocalMachine, kKey, "Missing", kFallback);
    registry.DeleteValue(kHkeyLocalMachine, kKey, "Msg");
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
    r.hive.OpenKey(kHkeyLocalMachine, kKey, kKeyWrite, key);
    EXPECT_EQ(r.hive.QueryValueInfo(key, "Msg", type, size), kErrorAccessDenied);
    r.hive.CloseKey(key);
    r.hive.OpenKey(kHkeyLocalMachine, kKey, kKeyRead, key);
    EXPECT_EQ(r.hive.SetValue(key, "Msg", kRegSz, nullptr, 0), kErrorAccessDenied);
    EXPECT_EQ(r.hive.DeleteValue(key, "Msg"), kErrorAccessDenied);
    r.hive.CloseKey(key);
    EXPECT_EQ(r.hive.CloseKey(key), kErrorInvalidHandle);
}

TEST(Registry, NoErrorEverLeavesQueryValue)
{
    HiveRegistry r;
    r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("hi"), kRegSz);
    RecordingBackend spy(r.hive);
    Registry registry(spy);

    for (const std::string failing : {"OpenKey", "QueryValueInfo", "QueryValueData"}) {
        spy.interfere = [failing](const std::string &call) {
            if (call.rfind(failing, 0) == 0)
                throw std::runtime_error("backend broke");
            return 0;
        };
        RegistryValue value;
        EXPECT_NO_THROW(value = registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback))
            << failing;
        EXPECT_EQ(value, kFallback) << failing;
        EXPECT_EQ(spy.openKeys, 0) << failing;
    }

    // A value that grew between the look at its size and the read gives the default.
    spy.interfere = [&r](const std::string &call) {
        if (call.rfind("QueryValueData", 0) == 0)
            r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("longer"), kRegSz);
        return 0;
    };
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback), kFallback);
}

TEST(Registry, OnlyTheMachineRootAndWellFormedPathsAreAccepted)
{
    HiveRegistry r;
    EXPECT_EQ(r.registry.SetKeyValue(0x80000001, kKey, "Msg", std::string("x"), kRegSz),
              kErrorInvalidHandle);
    EXPECT_EQ(
        r.registry.SetKeyValue(kHkeyLocalMachine, "\\Software", "Msg", std::string("x"), kRegSz),
        kErrorBadPathname);
    EXPECT_EQ(r.registry.SetKeyValue(kHkeyLocalMachine, "Software\\\\Pellwick", "Msg",
                                     std::string("x"), kRegSz),
              kErrorBadPathname);
    EXPECT_FALSE(std::filesystem::exists(r.hive.File()));
    EXPECT_EQ(r.registry.QueryValue(0x80000001, kKey, "Msg", kFallback), kFallback);
    // The file's line format cannot hold a line break in a name.
    EXPECT_EQ(
        r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Two\nLines", std::string("x"), kRegSz),
        kErrorInvalidParameter);
}
