// SPDX-License-Identifier: MIT
#include "core/mail/address.h"

#include <gtest/gtest.h>

#include <string>

using pellwick::RecipientsProblem;
using pellwick::SenderProblem;

TEST(Address, OnlyWholeAddressesPassAndTheProblemNamesTheField)
{
    struct Row
    {
        std::string field;
        bool accepted;
    };
    const Row rows[] = {
        {"root@localhost", true},
        {"  ops@example.org ", true},
        {"<ops@example.org>", true},
        {"Pellwick at home <ops@example.org>", true},
        {"\"Doe \\\"JD\\\" John\" <j@example.org>", true},
        {"me@[192.0.2.1]", true},
        {"jörg@bücher.example", true},
        // Line breaks go first: what they glued must not become a command.
        {"a@example.org\r\nRCPT TO:<evil@x>", false},
        {"a@example.org>", false},
        {"<a@example.org", false},
        {"a@example.org <b@example.org", false},
        {"<a@b> <c@d>", false},
        {"\"open <a@b>", false},
        {"\"escaped end\\\" <a@b>", false},
        {"no-domain@", false},
        {"@no-local", false},
        {"plain", false},
        {"two words@example.org", false},
        {"", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.field);
        EXPECT_EQ(SenderProblem(row.field).empty(), row.accepted);
        EXPECT_EQ(RecipientsProblem(row.field).empty(), row.accepted);
    }
    EXPECT_EQ(SenderProblem("a@b\r\nRCPT TO:<evil@x>"),
              "The sender \"a@bRCPT TO:<evil@x>\" is not an email address.");
    EXPECT_EQ(RecipientsProblem(" ; , "), "No recipient is set.");
    EXPECT_EQ(RecipientsProblem("a@b; Ops <c@d>,,e@f"), "");
    EXPECT_NE(RecipientsProblem("a@b, c"), "");
}
