// SPDX-License-Identifier: MIT
#include "support/temp_folder.h"

#include "core/settings/settings.h"
#include "platform/posix/hive_file.h"

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;
using namespace pellwick::test;
using namespace std::string_literals;

namespace {

// A hive file in a temporary folder of its own, a store of the program's key on
// it, and what the store told.
struct TempHive
{
    explicit TempHive(const std::string &name = "registry.reg")
        : file(folder / name)
    {
    }
    std::string Set(const std::string &name, const SettingValue &value)
    {
        hive.Write(name, Stored(value));
        return hive.Commit();
    }

    TempFolder folder;
    std::filesystem::path file;
    std::vector<std::string> said;
    HiveFile hive {file, kSettingsKey, [this](const std::string &line) {
                       said.push_back(line);
                   }};
};

} // namespace

TEST(HiveFile, HandWrittenHiveReadsWithCommentsCaseAndContinuedLines)
{
    TempHive h;
    // Also what other tools write: a BOM, the newer header, blanks at line ends.
    WriteBytes(h.file, "\xEF\xBB\xBFWindows Registry Editor Version 5.00 \t\n"
                       "; written by hand\n"
                       "   \n"
                       "[hkey_local_machine\\SOFTWARE\\pellwick] \r\n"
                       "\"smtpserver\"=\"mail.example.org\"\t\n"
                       "  ; between values\n"
                       "\"AUTOMAIL\" = DWORD:A \n"
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
                       "\"x\"=\"y\"");
    EXPECT_EQ(h.hive.Read("SMTPServer"), Stored("mail.example.org"s));
    EXPECT_EQ(h.hive.Read("AutoMail"), Stored(10));

    // A change keeps every spelling, every type, every text as it was read and the
    // other root's section; continued lines are joined, comments go.
    h.Set("SMTPServer", "localhost"s);
    EXPECT_EQ(
        ReadBytes(h.file),
        "REGEDIT4\r\n\r\n[hkey_local_machine\\SOFTWARE\\pellwick]\r\n"
        "\"smtpserver\"=\"localhost\"\r\n\"AUTOMAIL\"=dword:0000000a\r\n"
        "\"Path\"=\"C:\\\\Tools\\\\x \\\"quoted\\\"\"\r\n\"Loose\"=\"C:\\\\Tools\"\r\n"
        "@=\"unnamed\"\r\n\"Long\"=hex(2):25,50,41,54,48,25,00\r\n\"Bin\"=hex:de,ad,be,ef\r\n\r\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Pellwick\\Sub]\r\n\"Empty\"=hex:\r\n\r\n"
        "[HKEY_CURRENT_USER\\Other]\r\n\"x\"=\"y\"\r\n\r\n");

    // regedit's own export: UTF-16LE after its byte-order mark, texts in any script.
    const std::u16string exported = u"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n"
                                    u"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Pellwick]\r\n"
                                    u"\"Subject\"=\"Grüße aus 東京 \U0001F4E7\"\r\n\r\n";
    std::string bytes;
    for (const char16_t unit : exported)
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    WriteBytes(h.file, bytes);
    EXPECT_EQ(h.hive.Read("Subject"), Stored("Grüße aus 東京 \U0001F4E7"s));
    WriteBytes(h.file, bytes.substr(0, bytes.size() - 3));
    EXPECT_NE(h.hive.Unreadable(), "");
}

TEST(HiveFile, EveryTextAtItsLimitInItsCostliestFormReadsBack)
{
    TempHive h;
    Settings settings;
    for (const SettingRow &row : SettingsTable()) {
        if (!std::holds_alternative<std::string>(row.fallback))
            continue;
        // Three bytes a character, and a line break that makes the text hex bytes.
        std::string text = "\r\n";
        for (std::int32_t i = 1; i < row.max; ++i)
            text += "€";
        settings.Set(row.name, text);
    }
    ASSERT_EQ(settings.Save(h.hive), "");
    EXPECT_GT(std::filesystem::file_size(h.file), HiveFile::kMaxHiveSize / 2);
    HiveFile fresh(h.file);
    EXPECT_TRUE(Settings::Load(fresh) == settings);
    EXPECT_EQ(fresh.Unreadable(), "");

    // A longer text, written by hand, is cut to what the field can hold.
    const std::string tooLong = "x" + settings.Text("Subject");
    h.hive.Write("Subject", Stored(tooLong));
    ASSERT_EQ(h.hive.Commit(), "");
    EXPECT_EQ(Settings::Load(fresh).Text("Subject"), tooLong.substr(0, tooLong.size() - 3));
}

TEST(HiveFile, AHiveCutAnywhereReadsSafelyAndIsKeptBeforeTheNextWrite)
{
    TempHive original;
    const std::vector<std::pair<std::string, SettingValue>> values = {
        {"SMTPServer", "mail.example.org"s},
        {"Subject", "Say \"hi\" \\ [IPADDRESS]"s},
        {"EmailOnIPStartup", 1},
        {"TimerValueType", -1},
    };
    for (const auto &[name, value] : values)
        original.Set(name, value);
    original.hive.Write("Blob", StoredValue {kBinaryType, std::string(40, '\x5a')});
    original.hive.Commit();
    const std::string whole = ReadBytes(original.file);
    ASSERT_NE(whole.find("\\\r\n  5a"), std::string::npos) << "the blob should wrap";

    int brokenCuts = 0;
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        TempHive h;
        const std::string part = whole.substr(0, cut);
        WriteBytes(h.file, part);
        // Each value reads whole or not at all, never as a shortened one.
        const auto blob = h.hive.Read("Blob");
        EXPECT_TRUE(!blob || blob->bytes == std::string(40, '\x5a')) << cut;
        const bool broken = !h.hive.Unreadable().empty();
        brokenCuts += broken;
        for (const auto &[name, value] : values) {
            const auto read = h.hive.Read(name);
            EXPECT_TRUE(!read || (!broken && read == Stored(value))) << cut << " " << name;
        }

        // A run that changes nothing leaves every form of it as it is.
        Settings loaded = Settings::Load(h.hive);
        EXPECT_EQ(loaded.Save(h.hive), "") << cut;
        EXPECT_EQ(ReadBytes(h.file), part) << cut;

        ASSERT_EQ(h.Set("After", "x"s), "") << cut;
        EXPECT_TRUE(h.said.empty()) << cut;
        EXPECT_EQ(ReadBytes(h.folder / "registry.reg.corrupt"), broken ? part : "") << cut;
        EXPECT_EQ(std::filesystem::exists(h.folder / "registry.reg.corrupt"), broken) << cut;
        EXPECT_EQ(h.hive.Read("After"), Stored("x"s)) << cut;
    }
    // Most cuts fall inside a line; those at a line's end leave a shorter, sound hive.
    EXPECT_GT(brokenCuts, static_cast<int>(whole.size()) / 2);
    EXPECT_LT(brokenCuts, static_cast<int>(whole.size()));
}

TEST(HiveFile, ACommitIsOneWriteOthersWritesAreSeenAndKeysKeepTheirFirstSpelling)
{
    TempHive h;
    // The file's line format cannot hold a line break in a name.
    const std::string refused = h.Set("Two\nLines", "x"s);
    EXPECT_NE(refused, "");
    EXPECT_EQ(h.said, std::vector<std::string> {refused});
    EXPECT_FALSE(std::filesystem::exists(h.file));

    h.Set("Msg", "old"s);
    const std::string before = ReadBytes(h.file);
    h.hive.Write("Msg", Stored("new"s));
    h.hive.Write("Absent", std::nullopt);
    EXPECT_EQ(ReadBytes(h.file), before);
    EXPECT_EQ(h.hive.Commit(), "");

    // Other processes' writes, in other spellings of keys and names.
    for (const auto &[key, name, text] :
         std::vector<std::tuple<std::string, std::string, std::string>> {
             {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Pellwick", "first"},
             {"software\\MICROSOFT\\windows\\currentversion\\run", "PELLWICK", "again"},
             {"software\\pellwick", "MSG", "newer"}}) {
        HiveFile other(h.file, key);
        other.Write(name, Stored(text));
        EXPECT_EQ(other.Commit(), "");
    }
    EXPECT_EQ(h.hive.Read("Msg"), Stored("newer"s));
    EXPECT_EQ(ReadBytes(h.file),
              "REGEDIT4\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Pellwick]\r\n"
              "\"Msg\"=\"newer\"\r\n\r\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
              "\"Pellwick\"=\"again\"\r\n\r\n");
}

TEST(HiveFile, AnOddFileIsNeverReadAndIsKeptAsideAtASaveAndNothingIsWrittenInAFolderOpenToOthers)
{
    namespace fs = std::filesystem;
    // Each spoils the file or its folder, or gives false when it cannot (only root
    // gives files away); where the folder is wrong (true), nothing may be written.
    const auto hive = [](const TempHive &h) {
        WriteBytes(h.file, "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\Software\\Pellwick]\r\n"
                           "\"Msg\"=\"hi\"\r\n\r\n");
        return h.folder.path().c_str();
    };
    using Case = std::tuple<std::string, std::function<bool(const TempHive &h)>, bool>;
    const std::vector<Case> cases = {
        {"fifo", [](const auto &h) { return ::mkfifo(h.file.c_str(), 0600) == 0; }, false},
        {"200 MB",
         [&](const auto &h) { return hive(h) && ::truncate(h.file.c_str(), 200 << 20) == 0; },
         false},
        {"link to /dev/zero",
         [](const auto &h) { return ::symlink("/dev/zero", h.file.c_str()) == 0; }, false},
        {"another user's file",
         [&](const auto &h) { return hive(h) && ::chown(h.file.c_str(), 65534, 0) == 0; }, false},
        {"group may write", [&](const auto &h) { return ::chmod(hive(h), 0770) == 0; }, true},
        {"another user's folder", [&](const auto &h) { return ::chown(hive(h), 65534, 0) == 0; },
         true},
    };
    for (const auto &[name, spoil, folder] : cases) {
        SCOPED_TRACE(name);
        TempHive h;
        if (!spoil(h))
            continue;
        const auto typeBefore = fs::symlink_status(h.file).type();
        EXPECT_FALSE(h.hive.Read("Msg"));
        EXPECT_TRUE(h.hive.Unreadable().starts_with("cannot read the settings file "
                                                    + h.file.string() + ": "))
            << h.hive.Unreadable();
        EXPECT_TRUE(h.said.empty());

        const std::string saved = h.Set("Msg", "x"s);
        if (folder) {
            EXPECT_TRUE(saved.starts_with("pellwick: cannot save the settings to " + h.file.string()
                                          + ": the folder ")
                        || saved.find("may write in the folder") != std::string::npos)
                << saved;
            EXPECT_EQ(fs::symlink_status(h.file).type(), typeBefore);
            continue;
        }
        // The odd file stays as it was under a name of its own; a new one holds the save.
        EXPECT_EQ(saved, "");
        EXPECT_EQ(fs::symlink_status(h.folder / "registry.reg.corrupt").type(), typeBefore);
        EXPECT_EQ(h.hive.Read("Msg"), Stored("x"s));
        EXPECT_EQ(h.hive.Unreadable(), "");
    }
}

TEST(HiveFile, OnlyOwnLeftoversAreRemovedAndPlantedLinksAreNeverFollowed)
{
    TempHive h;
    h.Set("Msg", "x"s);
    // What a killed writer left goes at the next start's first look, before any
    // write; a link in its place, a name of another shape and the user's own files stay.
    const auto victim = h.folder / "victim";
    WriteBytes(h.folder / "registry.reg.tmp-Ab12Cd", "left by a killed save");
    std::filesystem::create_symlink(victim, h.folder / "registry.reg.tmp-LINKED");
    for (const std::string kept : {"registry.reg.tmpl", "registry.reg.tmp-long123", "victim"})
        WriteBytes(h.folder / kept, "mine");
    const auto tidied = [&h] {
        EXPECT_EQ(FolderNames(h.folder.path()),
                  (std::vector<std::string> {"registry.reg", "registry.reg.lock",
                                             "registry.reg.tmp-LINKED", "registry.reg.tmp-long123",
                                             "registry.reg.tmpl", "victim"}));
    };
    EXPECT_EQ(HiveFile(h.file).Read("Msg"), Stored("x"s));
    tidied();
    // One left while this process runs goes with its next write.
    WriteBytes(h.folder / "registry.reg.tmp-Xy34Zw", "left by a killed save");
    EXPECT_EQ(h.Set("Msg", "y"s), "");
    tidied();

    const std::string before = ReadBytes(h.file);
    std::filesystem::remove(h.folder / "registry.reg.lock");
    std::filesystem::create_symlink(victim, h.folder / "registry.reg.lock");
    EXPECT_NE(h.Set("Msg", "z"s), "");
    ASSERT_EQ(h.said.size(), 1u);
    EXPECT_NE(h.said[0].find("registry.reg.lock is a symbolic link"), std::string::npos);
    EXPECT_EQ(ReadBytes(h.file), before);
    EXPECT_EQ(ReadBytes(victim), "mine");
}

TEST(HiveFile, AFullFileSystemKeepsTheOldFileAndSaysSo)
{
    TempHive h("small/registry.reg");
    const auto mount = h.folder / "small";
    std::filesystem::create_directory(mount);
    if (::geteuid() != 0 || ::mount("tmpfs", mount.c_str(), "tmpfs", 0, "size=64k,mode=0700") != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    h.Set("Msg", "old"s);
    const std::string before = ReadBytes(h.file);
    {
        std::ofstream filler(mount / "filler", std::ios::binary);
        for (int i = 0; i < 1024 && filler; ++i)
            filler << std::string(1024, 'f') << std::flush;
    }
    const std::string saved = h.Set("Msg", std::string(8192, 'n'));
    EXPECT_EQ(saved, "pellwick: cannot save the settings to " + h.file.string()
                         + ": No space left on device");
    EXPECT_EQ(h.said, std::vector<std::string> {saved});
    EXPECT_EQ(ReadBytes(h.file), before);
    EXPECT_EQ(FolderNames(mount),
              (std::vector<std::string> {"filler", "registry.reg", "registry.reg.lock"}));
    ::umount2(mount.c_str(), MNT_DETACH);
}

TEST(HiveFile, TwoProcessesWritingAtOnceLoseNothingAndFileAndFolderAreTheOwnersAlone)
{
    TempHive h("config/pellwick/registry.reg");
    h.Set("Sender", "a@b"s);
    using std::filesystem::perms;
    const auto modeOf = [](const std::filesystem::path &path) {
        return std::filesystem::status(path).permissions() & perms::mask;
    };
    const auto owner = perms::owner_read | perms::owner_write;
    EXPECT_EQ(modeOf(h.file), owner);
    EXPECT_EQ(modeOf(h.file.string() + ".lock"), owner);
    EXPECT_EQ(modeOf(h.file.parent_path()), perms::owner_all);
    EXPECT_EQ(modeOf(h.file.parent_path().parent_path()), perms::owner_all);
    // A hive once opened to everybody is private again after the next change.
    std::filesystem::permissions(h.file, owner | perms::others_read);

    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> children;
    for (const char *prefix : {"first", "second"}) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(gate[1]);
            char go = 0;
            // Both start when the gate closes: the read ends with nothing read.
            if (::read(gate[0], &go, 1) != 0)
                ::_exit(2);
            int failures = 0;
            for (std::int32_t i = 0; i < 500; ++i)
                failures += !h.Set(prefix + std::to_string(i), i).empty();
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
    int found = 0;
    for (const std::string prefix : {"first", "second"})
        for (std::int32_t i = 0; i < 500; ++i)
            found += h.hive.Read(prefix + std::to_string(i)) == Stored(i);
    EXPECT_EQ(found, 1000);
    EXPECT_EQ(FolderNames(h.file.parent_path()),
              (std::vector<std::string> {"registry.reg", "registry.reg.lock"}));
    EXPECT_EQ(modeOf(h.file), owner);
}
