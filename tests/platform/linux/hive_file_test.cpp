#include "support/raw_values.h"
#include "support/temp_folder.h"

#include "core/settings/registry.h"
#include "platform/linux/hive_file.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <string>
#include <vector>

using namespace pellwick;
using pellwick::test::FolderNames;
using pellwick::test::RawValue;
using pellwick::test::ReadBytes;
using pellwick::test::ReadRaw;
using pellwick::test::TempFolder;
using pellwick::test::WriteBytes;
using pellwick::test::WriteRaw;

namespace {

const std::string kKey = "Software\\Pellwick";
const RegistryValue kFallback = std::string("fallback");

std::string folded(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

TEST(HiveFile, HandWrittenHiveReadsWithCommentsCaseAndContinuedLines)
{
    TempFolder folder;
    const auto file = folder / "registry.reg";
    WriteBytes(file, "REGEDIT4\n"
                     "; written by hand\n"
                     "   \n"
                     "[hkey_local_machine\\SOFTWARE\\pellwick]\r\n"
                     "\"smtpserver\"=\"mail.example.org\"\n"
                     "  ; between values\n"
                     "\"AUTOMAIL\" = DWORD:0000000A\n"
                     "\"Path\"=\"C:\\\\Tools\\\\x \\\"quoted\\\"\"\n"
                     "\"Loose\"=\"C:\\Tools\"\n"
                     "@=\"unnamed\"\n"
                     "\"Long\"=hex(2):25,50,41,54,\\\n"
                     "  48,25,\\\r\n"
                     "    00\n"
                     "\"Bin\"=HEX:DE , ad,BE,ef\n"
                     "\n"
                     "[HKEY_LOCAL_MACHINE\\Software\\Pellwick\\Sub]\n"
                     "\"Empty\"=hex:\n"
                     "[HKEY_CURRENT_USER\\Other]\n"
                     "\"x\"=\"y\"\n");
    HiveFile hive(file);
    Registry registry(hive);
    const auto query = [&registry](const std::string &name) {
        return registry.QueryValue(kHkeyLocalMachine, kKey, name, kFallback);
    };
    EXPECT_EQ(query("SMTPServer"), RegistryValue(std::string("mail.example.org")));
    EXPECT_EQ(query("AutoMail"), RegistryValue(std::int32_t {10}));
    EXPECT_EQ(query("path"), RegistryValue(std::string("C:\\Tools\\x \"quoted\"")));
    EXPECT_EQ(query("Loose"), RegistryValue(std::string("C:\\Tools")));
    EXPECT_EQ(query(""), RegistryValue(std::string("unnamed")));
    const RawValue longValue = ReadRaw(hive, kKey, "LONG");
    EXPECT_EQ(longValue.type, kRegExpandSz);
    EXPECT_EQ(longValue.bytes, std::string("%PATH%\0", 7));
    EXPECT_EQ(ReadRaw(hive, kKey, "Bin").bytes, "\xDE\xAD\xBE\xEF");
    EXPECT_EQ(ReadRaw(hive, kKey, "Bin").type, kRegBinary);
    const RawValue empty = ReadRaw(hive, kKey + "\\sub", "empty");
    EXPECT_EQ(empty.status, 0);
    EXPECT_EQ(empty.bytes, "");

    // A change keeps every spelling and the other root's section; comments go.
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "SMTPServer", std::string("localhost"), kRegSz);
    const std::string rewritten = ReadBytes(file);
    EXPECT_EQ(rewritten.rfind("REGEDIT4\r\n\r\n[hkey_local_machine\\SOFTWARE\\pellwick]\r\n"
                              "\"smtpserver\"=\"localhost\"\r\n"
                              "\"AUTOMAIL\"=dword:0000000a\r\n"
                              "\"Path\"=\"C:\\\\Tools\\\\x \\\"quoted\\\"\"\r\n",
                              0),
              0u)
        << rewritten;
    EXPECT_NE(rewritten.find("\"Long\"=hex(2):25,50,41,54,48,25,00\r\n"), std::string::npos);
    EXPECT_NE(rewritten.find("[HKEY_CURRENT_USER\\Other]\r\n\"x\"=\"y\"\r\n"), std::string::npos);
    EXPECT_EQ(rewritten.find(';'), std::string::npos);
}

TEST(HiveFile, KeysKeepTheirFirstSpellingAndParentsExistWithThem)
{
    TempFolder folder;
    HiveFile hive(folder / "registry.reg");
    Registry registry(hive);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("m"), kRegSz);
    registry.SetKeyValue(kHkeyLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                         "Pellwick", std::string("C:\\Tools\\Pellwick.exe /s"), kRegSz);
    registry.SetKeyValue(kHkeyLocalMachine, "software\\MICROSOFT\\windows\\currentversion\\run",
                         "PELLWICK", std::string("again"), kRegSz);
    EXPECT_EQ(ReadBytes(hive.File()),
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Pellwick]\r\n"
              "\"Msg\"=\"m\"\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
              "\"Pellwick\"=\"again\"\r\n\r\n");

    RegistryKey key = 0;
    for (const std::string present :
         {"", "software", "Software\\Microsoft\\Windows", "SOFTWARE\\"}) {
        EXPECT_EQ(hive.OpenKey(kHkeyLocalMachine, present, kKeyRead, key), 0) << present;
        hive.CloseKey(key);
    }
    for (const std::string absent : {"Soft", "Software\\Micro", "Software\\Pellwick\\Sub"})
        EXPECT_EQ(hive.OpenKey(kHkeyLocalMachine, absent, kKeyRead, key), kErrorFileNotFound)
            << absent;
}

TEST(HiveFile, EveryValueReadsBackWithItsTypeAndBytes)
{
    TempFolder folder;
    HiveFile hive(folder / "registry.reg");
    std::mt19937 random(20240611);
    const auto below = [&random](std::size_t n) {
        return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const std::string nameCharacters = "abcXYZ019 _-.\"\\[]@=;:/%\t\x7f\x80\xe9\xff";
    const std::vector<std::uint32_t> types
        = {0, 1, 1, 1, 2, 3, 4, 4, 7, 11, 0x7fffffff, 0xffffffff};
    const std::vector<std::string> keys
        = {"Software\\Pellwick", "Software\\Pellwick\\Deep\\Er", "Other [Key]"};

    struct Expected
    {
        std::string key, name;
        std::uint32_t type;
        std::string bytes;
    };
    std::map<std::string, Expected> expected;
    for (int i = 0; i < 300; ++i) {
        Expected e;
        e.key = keys[below(keys.size())];
        for (std::size_t n = below(12); n > 0; --n)
            e.name += nameCharacters[below(nameCharacters.size())];
        e.type = types[below(types.size())];
        const std::size_t length = below(4) == 0 ? 4 : below(200);
        for (std::size_t n = 0; n < length; ++n)
            e.bytes += static_cast<char>(below(3) == 0 ? below(256) : 'a' + below(26));
        if (e.type == kRegSz && below(2) == 0)
            e.bytes += '\0'; // mostly well-formed texts, which take the quoted form
        // The same key or name in another case is the same entry.
        std::string writtenKey = e.key;
        for (char &c : writtenKey)
            if (below(2) == 0)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        ASSERT_EQ(WriteRaw(hive, writtenKey, e.name, e.type, e.bytes), 0) << i;
        expected[folded(e.key) + '\n' + folded(e.name)] = e;
    }

    HiveFile fresh(hive.File());
    for (const auto &[id, e] : expected) {
        const RawValue raw = ReadRaw(fresh, e.key, e.name);
        ASSERT_EQ(raw.status, 0) << id;
        EXPECT_EQ(raw.type, e.type) << id;
        EXPECT_EQ(raw.bytes, e.bytes) << id;
    }
}

TEST(HiveFile, AWriteThatFailsBeforeTheRenameLeavesTheOldFile)
{
    TempFolder folder;
    const auto file = folder / "registry.reg";
    bool fail = false;
    HiveFile hive(file, [&fail, &file](const std::filesystem::path &temporary) {
        // The new content is complete and flushed by now; the failure comes last.
        EXPECT_EQ(temporary.parent_path(), file.parent_path());
        if (fail) {
            EXPECT_NE(ReadBytes(temporary).find("\"Second\"=\"2\""), std::string::npos);
        }
        return !fail;
    });
    Registry registry(hive);
    ASSERT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "First", std::string("1"), kRegSz), 0);
    const std::string before = ReadBytes(file);

    fail = true;
    EXPECT_NE(registry.SetKeyValue(kHkeyLocalMachine, kKey, "Second", std::string("2"), kRegSz), 0);
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_EQ(FolderNames(folder.path()),
              (std::vector<std::string> {"registry.reg", "registry.reg.lock"}));
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Second", kFallback), kFallback);
}

TEST(HiveFile, AHiveCutAnywhereReadsSafelyAndIsKeptBeforeTheNextWrite)
{
    TempFolder source;
    HiveFile original(source / "registry.reg");
    Registry writer(original);
    const std::vector<std::pair<std::string, RegistryValue>> values = {
        {"SMTPServer", std::string("mail.example.org")},
        {"Subject", std::string("Say \"hi\" \\ [IPADDRESS]")},
        {"EmailOnIPStartup", std::int32_t {1}},
        {"TimerValueType", std::int32_t {-1}},
    };
    for (const auto &[name, value] : values)
        writer.SetKeyValue(kHkeyLocalMachine, kKey, name, value,
                           std::holds_alternative<std::int32_t>(value) ? kRegDword : kRegSz);
    WriteRaw(original, kKey, "Blob", kRegBinary, std::string(40, '\x5a'));
    const std::string whole = ReadBytes(original.File());
    ASSERT_NE(whole.find("\\\r\n  5a"), std::string::npos) << "the blob should wrap";

    int brokenCuts = 0;
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        TempFolder folder;
        const auto file = folder / "registry.reg";
        const std::string part = whole.substr(0, cut);
        WriteBytes(file, part);
        HiveFile hive(file);
        Registry registry(hive);
        RegistryKey key = 0;
        const std::int32_t openStatus = hive.OpenKey(kHkeyLocalMachine, kKey, kKeyRead, key);
        hive.CloseKey(key);
        const bool broken = openStatus == kErrorBadDb;
        brokenCuts += broken;

        // Each value reads whole or not at all, never as a shortened one.
        for (const auto &[name, value] : values) {
            const RegistryValue read
                = registry.QueryValue(kHkeyLocalMachine, kKey, name, kFallback);
            EXPECT_TRUE(read == kFallback || (!broken && read == value)) << cut << " " << name;
        }
        const RawValue blob = ReadRaw(hive, kKey, "Blob");
        EXPECT_TRUE(blob.status != 0 || blob.bytes == std::string(40, '\x5a')) << cut;

        ASSERT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "After", std::string("x"), kRegSz),
                  0)
            << cut;
        EXPECT_EQ(std::filesystem::exists(folder / "registry.reg.corrupt"), broken) << cut;
        if (broken) {
            EXPECT_EQ(ReadBytes(folder / "registry.reg.corrupt"), part) << cut;
        }
        EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "After", kFallback),
                  RegistryValue(std::string("x")))
            << cut;
    }
    // Most cuts fall inside a line; those at a line's end leave a shorter, sound hive.
    EXPECT_GT(brokenCuts, static_cast<int>(whole.size()) / 2);
    EXPECT_LT(brokenCuts, static_cast<int>(whole.size()));
}

TEST(HiveFile, ABrokenHiveIsNeverOverwrittenSilently)
{
    TempFolder folder;
    const auto file = folder / "registry.reg";
    WriteBytes(file, "not a hive\n");
    HiveFile hive(file);
    Registry registry(hive);
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback), kFallback);
    EXPECT_EQ(ReadBytes(file), "not a hive\n");

    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("one"), kRegSz);
    WriteBytes(file, "broken again");
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("two"), kRegSz);
    EXPECT_EQ(ReadBytes(folder / "registry.reg.corrupt"), "not a hive\n");
    EXPECT_EQ(ReadBytes(folder / "registry.reg.corrupt.2"), "broken again");
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback),
              RegistryValue(std::string("two")));
}

TEST(HiveFile, OnlyTheMachineRootAndWellFormedPathsAreAccepted)
{
    TempFolder folder;
    HiveFile hive(folder / "registry.reg");
    Registry registry(hive);
    EXPECT_EQ(registry.SetKeyValue(kHkeyCurrentUser, kKey, "Msg", std::string("x"), kRegSz),
              kErrorInvalidHandle);
    EXPECT_EQ(
        registry.SetKeyValue(kHkeyLocalMachine, "\\Software", "Msg", std::string("x"), kRegSz),
        kErrorBadPathname);
    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, "Software\\\\Pellwick", "Msg",
                                   std::string("x"), kRegSz),
              kErrorBadPathname);
    EXPECT_FALSE(std::filesystem::exists(hive.File()));
    EXPECT_EQ(registry.QueryValue(kHkeyCurrentUser, kKey, "Msg", kFallback), kFallback);
    // The file's line format cannot hold a line break in a name.
    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "Two\nLines", std::string("x"), kRegSz),
              kErrorInvalidParameter);
}
