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

TEST(Registry, ValuesAreStoredInTheirTypesBytesAndReadBack)
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
    HiveRegistry r;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        const std::string name = "V" + std::to_string(i);
        EXPECT_EQ(r.registry.SetKeyValue(kHkeyLocalMachine, kKey, name, c.written, c.type),
                  c.status)
            << i;
        const RawValue raw = ReadRaw(r.hive, kKey, name);
        EXPECT_EQ(raw.bytes, c.bytes) << i;
        EXPECT_EQ(raw.type, c.status == 0 ? c.type : 0) << i;
        EXPECT_EQ(r.registry.QueryValue(kHkeyLocalMachine, kKey, name, kFallback), c.read) << i;
    }
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

TEST(Registry, WritesOpenWithKeyWriteReadsWithKeyReadAndEveryKeyIsClosed)
{
    HiveRegistry r;
    RecordingBackend spy(r.hive);
    Registry registry(spy);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("hi"), kRegSz);
    registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback);
    registry.QueryValue(kHkeyLocalMachine, kKey, "Missing", kFallback);
    registry.DeleteValue(kHkeyLocalMachine, kKey, "Msg");
    for (const std::string &call : spy.calls) {
        EXPECT_TRUE(!call.starts_with("CreateKey") || call.ends_with(" 20006")) << call;
        EXPECT_TRUE(!call.starts_with("OpenKey") || call.ends_with(" 20019")) << call;
    }
    EXPECT_EQ(spy.openKeys, 0);
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

    // A value that grew or shrank between the look at its size and the read gives
    // the default, never a cut or padded text.
    for (const std::string changed : {"longer", "h"}) {
        r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("hi"), kRegSz);
        spy.interfere = [&r, changed](const std::string &call) {
            if (call.starts_with("QueryValueData"))
                r.registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", changed, kRegSz);
            return 0;
        };
        EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback), kFallback)
            << changed;
    }
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
