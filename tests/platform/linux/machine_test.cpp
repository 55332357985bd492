// SPDX-License-Identifier: MIT
// This machine's own parts, read for real: its addresses inside a network
// namespace, its memory figures, --password-file on real files with real modes,
// and the Secret Service where no session bus runs.
#include "core/mail/password_file.h"
#include "platform/platform.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/sysinfo.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;

TEST(LocalIP, BothFamiliesFollowTheirDefaultRouteInsideANetworkNamespace)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "making a network namespace needs root";
    // A link that is up with a carrier: one end of a veth pair.
    const auto link = [](const std::string &name) {
        return "ip link add " + name + " type veth peer name " + name + "p && ip link set " + name
               + "p up && ip link set " + name + " up";
    };
    // Each step changes the namespace, then both addresses are read there.
    using Step = std::tuple<std::string, const char *, const char *>;
    const std::string v6 = " && ip -6 addr add ";
    const std::vector<Step> steps {
        {"ip link set lo up", "127.0.0.1", "unknown"},
        // No default route: the first address of an interface that is up.
        {link("pw0") + " && ip addr add 10.77.0.2/24 dev pw0", "10.77.0.2", "unknown"},
        // The interface of the default route wins, though it comes later.
        {link("pw1")
             + " && ip addr add 10.88.0.2/24 dev pw1 && ip route add default via "
               "10.88.0.1 dev pw1",
         "10.88.0.2", "unknown"},
        // IPv6: no ULA, nor a global address of another interface.
        {"ip -6 route add default via fe80::1 dev pw1" + v6 + "fd00::5/64 dev pw1 nodad" + v6
             + "2001:db8::5/64 dev pw0 nodad",
         "10.88.0.2", "unknown"},
        {"ip -6 addr add 2001:db8:1::7/64 dev pw1 nodad", "10.88.0.2", "2001:db8:1::7"},
        // A deprecated address gives way.
        {"ip -6 addr add 2001:db8:1::8/64 dev pw1 nodad && ip -6 addr change 2001:db8:1::7/64 "
         "dev pw1 preferred_lft 0",
         "10.88.0.2", "2001:db8:1::8"},
        // A temporary (privacy) address, made by the kernel from ::9, is never chosen.
        {"sysctl -qw net.ipv6.conf.pw1.use_tempaddr=2 net.ipv6.conf.pw1.accept_dad=0 && ip -6 "
         "addr change 2001:db8:1::8/64 dev pw1 preferred_lft 0 && ip -6 addr add "
         "2001:db8:1::9/64 dev pw1 mngtmpaddr",
         "10.88.0.2", "2001:db8:1::9"},
    };
    // The namespace is the child's own and goes with it, whatever the outcome; the
    // child says what it read where it differs.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (unshare(CLONE_NEWNET) != 0)
            _exit(2);
        int differing = 0;
        for (const auto &[command, ip, ipv6] : steps) {
            const std::string read = std::system(command.c_str()) == 0
                                         ? LocalIP() + " " + GlobalIPv6().value_or("unknown")
                                         : "failed";
            if (read != std::string(ip) + " " + ipv6) {
                std::fprintf(stderr, "after %s: %s\n", command.c_str(), read.c_str());
                ++differing;
            }
        }
        _exit(differing == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "this machine does not allow a new network namespace";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST(ProcMemory, ReadsThisMachineAndThisProcess)
{
    struct sysinfo info = {};
    ASSERT_EQ(sysinfo(&info), 0);
    // Read through files kept open, as the timer reads: each reading is new.
    const MemoryReader read = PlatformMemoryReader();
    const MemStatus first = read();
    constexpr std::size_t kMapped = 64 << 20;
    void *mapped = mmap(nullptr, kMapped, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(mapped, MAP_FAILED);
    const MemStatus s = read();
    munmap(mapped, kMapped);
    // The mapping and little else: a wrong field or page size would be far off.
    EXPECT_GE(first.availableVirtual - s.availableVirtual, kMapped);
    EXPECT_LT(first.availableVirtual - s.availableVirtual, kMapped + (8 << 20));
    EXPECT_EQ(s.totalPhysical, std::uint64_t {info.totalram} * info.mem_unit);
}

TEST(PasswordFile, OnlyAFileNobodyElseMayReadGivesThePassword)
{
    test::TempFolder folder;
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
        test::WriteBytes(path, content);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
        if (name == "another user's" && ::chown(path.c_str(), 65534, 65534) != 0)
            continue; // only root can give a file away
        const PasswordLookup got = PasswordFromFile(path, ReadPrivateFile);
        EXPECT_EQ(got.password.value_or(""), password);
        EXPECT_TRUE(error.empty() || got.error.starts_with("Password file " + path + error))
            << got.error;
    }
    for (const auto &[path, cause] : {std::pair {folder / "missing", "No such file or directory"},
                                      std::pair {folder.path(), "not a regular file"}})
        EXPECT_EQ(PasswordFromFile(path.string(), ReadPrivateFile).error,
                  "Password file " + path.string() + " could not be read: " + cause);
}

TEST(SecretService, WithoutASessionBusSaysSoInsteadOfHanging)
{
    ::setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus", 1);
    const auto store = MakePasswordStore();
    const PasswordLookup got = store->Lookup("mail.example.com", "alice");
    EXPECT_FALSE(got.password);
    EXPECT_TRUE(got.error.starts_with("secret store: ")) << got.error;
    EXPECT_TRUE(store->Store("mail.example.com", "alice", "pw").starts_with("secret store: "));
}
