// SPDX-License-Identifier: MIT
// --password-file on real files with real modes, and the Secret Service where
// no session bus runs.
#include "core/mail/password_file.h"
#include "platform/platform.h"
#include "support/temp_folder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

using pellwick::PasswordFromFile;

TEST(PasswordFile, OnlyAFileNobodyElseMayReadGivesThePassword)
{
    pellwick::test::TempFolder folder;
    // The file, its content and mode; the password read (empty: refused), and how
    // the refusal begins after the path.
    using Case = std::tuple<std::string, std::string, mode_t, std::string, std::string>;
    const std::vector<Case> cases {
        {"own", "s3cret w\xC3\xB6rd\r\nsecond line", 0600, "s3cret w\xC3\xB6rd", ""},
        {"group", "pw\n", 0640, "",
         " refused: others than its owner may read or change it (chmod 600 "},
        {"too large", std::string(70 * 1024, 'x'), 0600, "", " refused: it is too large"},
        {"another user's", "pw", 0600, "", " refused: it belongs to another user"},
    };
    for (const auto &[name, content, mode, password, error] : cases) {
        SCOPED_TRACE(name);
        const std::string path = (folder / name).string();
        pellwick::test::WriteBytes(path, content);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        if (name == "another user's" && ::chown(path.c_str(), 65534, 65534) != 0)
            continue; // only root can give a file away
        const pellwick::PasswordLookup got = PasswordFromFile(path, pellwick::ReadPrivateFile);
        EXPECT_EQ(got.password.value_or(""), password);
        EXPECT_TRUE(error.empty() || got.error.starts_with("Password file " + path + error))
            << got.error;
    }
    for (const auto &[path, cause] : {std::pair {folder / "missing", "No such file or directory"},
                                      std::pair {folder.path(), "not a regular file"}})
        EXPECT_EQ(PasswordFromFile(path.string(), pellwick::ReadPrivateFile).error,
                  "Password file " + path.string() + " could not be read: " + cause);
}

TEST(SecretService, WithoutASessionBusSaysSoInsteadOfHanging)
{
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
    const auto store = pellwick::MakePasswordStore();
    const pellwick::PasswordLookup got = store->Lookup("mail.example.com", "alice");
    EXPECT_FALSE(got.password);
    EXPECT_TRUE(got.error.starts_with("secret store: ")) << got.error;
    EXPECT_TRUE(store->Store("mail.example.com", "alice", "pw").starts_with("secret store: "));
}
