// SPDX-License-Identifier: MIT
// The user's session: the log-in entry, and one running program that later
// starts hand over to.
#include "support/temp_folder.h"

#include "platform/posix/xdg_autostart.h"
#include "platform/single_instance.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <future>
#include <string>
#include <tuple>
#include <vector>

using namespace pellwick;
using namespace pellwick::test;

TEST(XdgAutostart, TheEntryAppearsWithItsExecLineQuotedAndDisappears)
{
    TempFolder config;
    XdgAutostart autostart(config.path(), "/opt/pell wick/bin/pellwick");
    const auto entry = config / "autostart" / "pellwick.desktop";
    autostart.Unregister(); // before any entry exists

    autostart.Register();
    EXPECT_EQ(ReadBytes(entry), "[Desktop Entry]\n"
                                "Type=Application\n"
                                "Name=Pellwick\n"
                                "Comment=Mails this machine's local IP address\n"
                                "Exec=\"/opt/pell wick/bin/pellwick\" /s\n"
                                "TryExec=/opt/pell wick/bin/pellwick\n"
                                "Icon=pellwick\n"
                                "Terminal=false\n"
                                "X-GNOME-Autostart-enabled=true\n");
    autostart.Unregister();
    EXPECT_FALSE(std::filesystem::exists(entry));
    autostart.Unregister();

    // Characters special in an entry are quoted; a plain path goes as it is.
    for (const auto &[program, exec] : std::vector<std::pair<std::string, std::string>> {
             {"/home/a\"b/$x/`y`/100%/c\\d",
              "\"/home/a\\\\\"b/\\\\$x/\\\\`y\\\\`/100%%/c\\\\\\\\d\" /s"},
             {"/usr/bin/pellwick", "/usr/bin/pellwick /s"}})
        EXPECT_NE(XdgAutostart::Entry(program).find("\nExec=" + exec + "\n"), std::string::npos)
            << program;
}

TEST(LoginProgram, AProgramThatASearchByNameFindsGoesByItsName)
{
    TempFolder t;
    namespace fs = std::filesystem;
    const auto program = [&](const std::string &path, fs::perms mode) {
        fs::create_directories((t / path).parent_path());
        WriteBytes(t / path, "#!/bin/sh\n");
        fs::permissions(t / path, mode);
        return (t / path).string();
    };
    const auto installed = program("bin/pellwick", fs::perms::owner_all);
    const auto built = program("build/src/app/pellwick", fs::perms::owner_all);
    program("other/pellwick", fs::perms::owner_all);
    program("plain/pellwick", fs::perms::owner_read);
    fs::create_directory(t / "links");
    fs::create_symlink(installed, t / "links/pellwick");
    const auto dir = [&t](const char *name) {
        return (t / name).string();
    };
    using Case = std::tuple<std::string, std::string, std::string>;
    for (const auto &[path, search, named] : {
             Case {installed, dir("links"), "pellwick"}, // a link to it
             Case {installed, dir("plain") + ":" + dir("bin"), "pellwick"}, // not a program
             Case {installed, dir("other") + ":" + dir("bin"), installed}, // another comes first
             Case {built, dir("bin") + ":" + dir("other"), built}, // a build tree
             Case {installed, "", installed},
             Case {installed, "bin::.", installed}, // relative folders count for nothing
         })
        EXPECT_EQ(LoginProgram(path, search), named) << search;
}

namespace {

// A later start on a thread of its own (it waits for the reply), answered by
// `first` with the request's words turned round.
InstanceClaim later(SingleInstance &first, const HandOver &handOver, bool ask)
{
    auto claim = std::async(std::launch::async, [&] {
        return ask ? InstanceClaim {nullptr, AskRunningInstance(handOver)}
                   : ClaimSingleInstance(handOver);
    });
    pollfd ready {first.Handle(), POLLIN, 0};
    EXPECT_EQ(::poll(&ready, 1, 10000), 1);
    first.TakeRequest([&](const HandOver &taken) {
        EXPECT_EQ(taken.request, handOver.request);
        HandOverReply reply;
        reply.status = static_cast<int>(taken.arguments.size());
        for (const std::string &word : taken.arguments)
            reply.out = word + "\n" + reply.out;
        return reply;
    });
    return claim.get();
}

} // namespace

TEST(SingleInstance, LaterStartsHandOverAndGetTheReplyAStaleSocketIsReplaced)
{
    TempFolder runtime;
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1); // this test's process alone
    // A folder others may enter is made this user's alone.
    ::mkdir((runtime.path() / "pellwick").c_str(), 0755);
    EXPECT_FALSE(AskRunningInstance({InstanceRequest::Command, {"--status"}}));

    InstanceClaim first = ClaimSingleInstance({});
    ASSERT_TRUE(first.instance);
    ASSERT_GE(first.instance->Handle(), 0);
    struct stat folder;
    ASSERT_EQ(::stat((runtime.path() / "pellwick").c_str(), &folder), 0);
    EXPECT_EQ(folder.st_mode & 0777, 0700u);

    for (const InstanceRequest request : {InstanceRequest::LoginRun, InstanceRequest::Show}) {
        const InstanceClaim claim = later(*first.instance, {request, {}}, false);
        EXPECT_FALSE(claim.instance);
        EXPECT_EQ(claim.reply.value_or(HandOverReply {}).process, ::getpid());
    }
    // A command's words, an empty one and a long one among them, go there and
    // back whole.
    const std::string longWord(100000, 'x');
    const HandOverReply reply
        = later(*first.instance, {InstanceRequest::Command, {"--set", "", "Msg=a\nb", longWord}},
                true)
              .reply.value_or(HandOverReply {});
    EXPECT_EQ(std::tie(reply.status, reply.out), std::tuple(4, longWord + "\nMsg=a\nb\n\n--set\n"));

    // The first one ends (its socket file stays behind, as after a kill).
    first.instance.reset();
    EXPECT_FALSE(AskRunningInstance({InstanceRequest::Command, {"--status"}}));
    InstanceClaim next = ClaimSingleInstance({});
    ASSERT_TRUE(next.instance);
    EXPECT_FALSE(later(*next.instance, {}, false).instance);
}
