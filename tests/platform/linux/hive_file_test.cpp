#include "support/raw_values.h"
#include "support/temp_folder.h"

#include "core/settings/registry.h"
#include "platform/linux/hive_file.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace pellwick;
using namespace pellwick::test;

namespace {

const std::string kKey = "Software\\Pellwick";
const RegistryValue kFallback = std::string("fallback");

std::filesystem::perms modeOf(const std::filesystem::path &file)
{
    return std::filesystem::status(file).permissions() & std::filesystem::perms::mask;
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
        std::vector<std::string> said;
        HiveFile hive(file, [&said](const std::string &line) { said.push_back(line); });
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
        EXPECT_EQ(said.size(), broken ? 1u : 0u) << cut;
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

TEST(HiveFile, WhatPeopleAndOtherToolsWriteReadsAsTheSameValues)
{
    const std::string body = "[HKEY_LOCAL_MACHINE\\Software\\Pellwick]\r\n"
                             "\"SMTPServer\"=\"mail.example.org\"\r\n"
                             "\"AutoMail\"=dword:00000001";
    const auto blanksAtLineEnds = [](std::string text) {
        for (std::size_t at = text.find("\r\n"); at != std::string::npos;
             at = text.find("\r\n", at + 4))
            text.insert(at, " \t");
        return text + " ";
    };
    for (const std::string &text : {
             "REGEDIT4\r\n\r\n" + body + "\r\n",
             "REGEDIT4\r\n\r\n" + body,
             "\xEF\xBB\xBFREGEDIT4\r\n" + body + "\r\n",
             "Windows Registry Editor Version 5.00\r\n\r\n" + body + "\r\n",
             blanksAtLineEnds("REGEDIT4\r\n" + body + "\r\n"),
             std::string(
                 "REGEDIT4\n[HKEY_LOCAL_MACHINE\\Software\\Pellwick]\n\"AutoMail\"=dword:1\n"
                 "\"SMTPServer\"=\"mail.example.org\""),
         }) {
        TempFolder folder;
        WriteBytes(folder / "registry.reg", text);
        HiveFile hive(folder / "registry.reg", [](const std::string &) {});
        Registry registry(hive);
        const auto query = [&registry](const std::string &name) {
            return registry.QueryValue(kHkeyLocalMachine, kKey, name, std::monostate {});
        };
        EXPECT_EQ(query("SMTPServer"), RegistryValue(std::string("mail.example.org"))) << text;
        EXPECT_EQ(query("AutoMail"), RegistryValue(1)) << text;
    }
}

TEST(HiveFile, ABatchIsOneWriteThatKeepsEachCallsStatusAndOtherWritersValues)
{
    TempFolder folder;
    const auto file = folder / "registry.reg";
    HiveFile hive(file);
    Registry registry(hive);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("old"), kRegSz);
    const std::string before = ReadBytes(file);

    registry.BeginBatch();
    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("new"), kRegSz), 0);
    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "On", std::string("on"), kRegDword),
              kErrorInvalidParameter);
    EXPECT_EQ(registry.SetKeyValue(0x80000001, kKey, "Msg", std::string("x"), kRegSz),
              kErrorInvalidHandle);
    EXPECT_EQ(registry.DeleteValue(kHkeyLocalMachine, kKey, "Absent"), kErrorFileNotFound);
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback),
              RegistryValue(std::string("new")));
    EXPECT_EQ(ReadBytes(file), before);
    {
        HiveFile other(file);
        Registry(other).SetKeyValue(kHkeyLocalMachine, kKey, "Other", std::string("o"), kRegSz);
    }
    EXPECT_FALSE(registry.CommitBatch().Failed());

    HiveFile fresh(file);
    Registry reader(fresh);
    EXPECT_EQ(reader.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback),
              RegistryValue(std::string("new")));
    EXPECT_EQ(reader.QueryValue(kHkeyLocalMachine, kKey, "Other", kFallback),
              RegistryValue(std::string("o")));
    // A change made by another process is seen by the first at its next look.
    reader.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("newer"), kRegSz);
    EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback),
              RegistryValue(std::string("newer")));
}

TEST(HiveFile, NoOddFileIsReadOrReplacedAndNothingIsWrittenInAFolderOpenToOthers)
{
    using Spoil = std::function<void(const std::filesystem::path &folder,
                                     const std::filesystem::path &file)>;
    struct Case
    {
        std::string name;
        Spoil spoil;
        bool unreadable; // else the folder is what is wrong
    };
    const std::vector<Case> cases = {
        {"fifo", [](const auto &, const auto &file) { ::mkfifo(file.c_str(), 0600); }, true},
        {"200 MB",
         [](const auto &, const auto &file) {
             WriteBytes(file, "REGEDIT4\r\n");
             std::filesystem::resize_file(file, 200u << 20);
         },
         true},
        {"link to /dev/zero",
         [](const auto &, const auto &file) { std::filesystem::create_symlink("/dev/zero", file); },
         true},
        {"group may write", [](const auto &f, const auto &) { ::chmod(f.c_str(), 0770); }, false},
        {"others may write", [](const auto &f, const auto &) { ::chmod(f.c_str(), 01777); }, false},
        {"another user's", [](const auto &f, const auto &) { (void)::chown(f.c_str(), 65534, 0); },
         false},
    };
    for (const Case &c : cases) {
        TempFolder folder;
        const auto file = folder / "registry.reg";
        c.spoil(folder.path(), file);
        struct stat info
        {
        };
        ::stat(folder.path().c_str(), &info);
        if (!c.unreadable && info.st_uid == ::geteuid() && (info.st_mode & 022) == 0)
            continue; // only root can give a folder away
        const auto typeBefore = std::filesystem::symlink_status(file).type();
        std::vector<std::string> said;
        HiveFile hive(file, [&said](const std::string &line) { said.push_back(line); });
        Registry registry(hive);
        EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Msg", kFallback), kFallback);
        EXPECT_EQ(registry.QueryValue(kHkeyLocalMachine, kKey, "Sender", kFallback), kFallback);
        // An odd file is said once, at the first look.
        ASSERT_EQ(said.size(), c.unreadable ? 1u : 0u) << c.name;
        EXPECT_TRUE(!c.unreadable
                    || said[0].starts_with("pellwick: cannot read the settings file "
                                           + file.string() + ": "))
            << c.name;

        registry.BeginBatch();
        registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("x"), kRegSz);
        const StoreResult saved = registry.CommitBatch();
        EXPECT_TRUE(saved.Failed()) << c.name;
        EXPECT_TRUE(saved.message.starts_with("pellwick: cannot save the settings to "
                                              + file.string() + ": "))
            << saved.message;
        EXPECT_TRUE(c.unreadable
                    || saved.message.find("the folder " + folder.path().string())
                           != std::string::npos)
            << saved.message;
        EXPECT_EQ(said.back(), saved.message) << c.name;
        EXPECT_EQ(std::filesystem::symlink_status(file).type(), typeBefore) << c.name;
    }
}

TEST(HiveFile, PlantedLinksAreNeverFollowedAndOnlyOwnLeftoversAreRemoved)
{
    TempFolder folder;
    const auto file = folder / "registry.reg";
    const auto victim = folder / "victim";
    std::filesystem::create_symlink(victim, folder / "registry.reg.lock");
    std::vector<std::string> said;
    HiveFile hive(file, [&said](const std::string &line) { said.push_back(line); });
    Registry registry(hive);
    EXPECT_NE(registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("x"), kRegSz), 0);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("registry.reg.lock is a symbolic link"), std::string::npos) << said[0];
    EXPECT_FALSE(std::filesystem::exists(file));
    std::filesystem::remove(folder / "registry.reg.lock");

    // A dead writer's temporary file goes; a link in its place, a name of another
    // shape and the user's own files stay.
    WriteBytes(folder / "registry.reg.tmp-Ab12Cd", "left by a killed save");
    std::filesystem::create_symlink(victim, folder / "registry.reg.tmp-LINKED");
    for (const std::string kept : {"registry.reg.tmpl", "registry.reg.tmp-long123", "victim"})
        WriteBytes(folder / kept, "mine");
    EXPECT_EQ(registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("x"), kRegSz), 0);
    EXPECT_EQ(
        FolderNames(folder.path()),
        (std::vector<std::string> {"registry.reg", "registry.reg.lock", "registry.reg.tmp-LINKED",
                                   "registry.reg.tmp-long123", "registry.reg.tmpl", "victim"}));
    EXPECT_EQ(ReadBytes(victim), "mine");
}

TEST(HiveFile, AFullFileSystemKeepsTheOldFileAndSaysSo)
{
    TempFolder folder;
    const auto mount = folder / "small";
    std::filesystem::create_directory(mount);
    if (::geteuid() != 0 || ::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k,mode=0700") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const auto file = mount / "registry.reg";
    {
        std::vector<std::string> said;
        HiveFile hive(file, [&said](const std::string &line) { said.push_back(line); });
        Registry registry(hive);
        registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string("old"), kRegSz);
        const std::string before = ReadBytes(file);
        std::ofstream filler(mount / "filler", std::ios::binary);
        for (int i = 0; i < 1024 && filler; ++i)
            filler << std::string(1024, 'f') << std::flush;

        registry.BeginBatch();
        registry.SetKeyValue(kHkeyLocalMachine, kKey, "Msg", std::string(8192, 'n'), kRegSz);
        const StoreResult saved = registry.CommitBatch();
        EXPECT_EQ(saved.status, kErrorDiskFull);
        EXPECT_EQ(saved.message, "pellwick: cannot save the settings to " + file.string()
                                     + ": No space left on device");
        EXPECT_EQ(said, std::vector<std::string> {saved.message});
        EXPECT_EQ(ReadBytes(file), before);
        EXPECT_EQ(FolderNames(mount),
                  (std::vector<std::string> {"filler", "registry.reg", "registry.reg.lock"}));
    }
    ::umount(mount.c_str());
}

TEST(HiveFile, TwoProcessesWritingAtOnceLoseNothing)
{
    TempFolder folder;
    const auto file = folder / "registry.reg";
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (const char *prefix : {"first", "second"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(gate[1]);
            char go = 0;
            (void)::read(gate[0], &go, 1); // both start when the gate closes
            HiveFile hive(file);
            Registry registry(hive);
            int failures = 0;
            for (std::int32_t i = 0; i < 500; ++i)
                failures += registry.SetKeyValue(kHkeyLocalMachine, kKey,
                                                 prefix + std::to_string(i), i, kRegDword)
                            != 0;
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(child);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (const pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    HiveFile hive(file);
    Registry registry(hive);
    int found = 0;
    for (const std::string prefix : {"first", "second"})
        for (std::int32_t i = 0; i < 500; ++i)
            found += registry.QueryValue(kHkeyLocalMachine, kKey, prefix + std::to_string(i),
                                         std::monostate {})
                     == RegistryValue(i);
    EXPECT_EQ(found, 1000);
    EXPECT_EQ(FolderNames(folder.path()),
              (std::vector<std::string> {"registry.reg", "registry.reg.lock"}));
}

TEST(HiveFile, FileAndFolderAreTheOwnersAlone)
{
    TempFolder folder;
    const auto file = folder / "config" / "pellwick" / "registry.reg";
    HiveFile hive(file);
    Registry registry(hive);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Sender", std::string("a@b"), kRegSz);
    using std::filesystem::perms;
    EXPECT_EQ(modeOf(file), perms::owner_read | perms::owner_write);
    EXPECT_EQ(modeOf(file.string() + ".lock"), perms::owner_read | perms::owner_write);
    EXPECT_EQ(modeOf(file.parent_path()), perms::owner_all);
    EXPECT_EQ(modeOf(file.parent_path().parent_path()), perms::owner_all);

    // A hive once opened to everybody is private again after the next change.
    std::filesystem::permissions(file, perms::owner_read | perms::owner_write | perms::others_read);
    registry.SetKeyValue(kHkeyLocalMachine, kKey, "Sender", std::string("c@d"), kRegSz);
    EXPECT_EQ(modeOf(file), perms::owner_read | perms::owner_write);
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
