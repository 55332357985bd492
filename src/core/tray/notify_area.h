// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstdio>
#include <string>

namespace pellwick {

// What a click on the tray icon asks for.
enum class TrayClick { OpenWindow, OpenMenu };

// Where the program's one icon lives: the desktop's notification area, or a
// stand-in for it. Like the desktop, it reports nothing back: a failed call
// simply leaves no trace.
class NotifyArea
{
public:
    virtual ~NotifyArea() = default;
    // Puts the icon up with this tip.
    virtual void ShowIcon(const std::string &tip) = 0;
    // Changes the tip of the icon while it is up; does nothing otherwise.
    virtual void SetTip(const std::string &tip) = 0;
    virtual void HideIcon() = 0;
    // False when the desktop has no notification area at all: an icon would
    // then be nowhere to be seen.
    virtual bool Available() const { return true; }
    // Shows a short message beside the icon (a balloon), or where a program
    // without a notification area tells its user (standard error).
    virtual void ShowMessage(const std::string &title, const std::string &text) = 0;
};

// Writes the text as one line, its line breaks turned into blanks.
inline void WriteLine(std::FILE *stream, std::string line)
{
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
}

// Writes a message as one line, "title: text", on standard error unless told
// otherwise.
inline void WriteMessageLine(const std::string &title, const std::string &text,
                             std::FILE *stream = stderr)
{
    WriteLine(stream, title + ": " + text);
}

// How much a line matters, numbered as syslog numbers its levels: a mail that
// failed, one to be tried again, one delivered.
enum class LinePriority { Failure = 3, Warning = 4, Info = 6 };

// Where the lines of a run go: what is only told on standard output, the rest
// on standard error. A stream the journal reads (as under a service manager)
// gets each line's priority first ("<3>"), which files it at that level.
struct MessageLines
{
    bool outToJournal = false;
    bool errToJournal = false;

    void Write(LinePriority priority, const std::string &line) const
    {
        const bool out = priority == LinePriority::Info;
        const std::string level = "<" + std::to_string(static_cast<int>(priority)) + ">";
        WriteLine(out ? stdout : stderr, ((out ? outToJournal : errToJournal) ? level : "") + line);
    }
    void Write(LinePriority priority, const std::string &title, const std::string &text) const
    {
        Write(priority, title + ": " + text);
    }
};

// The notification area of a run with no desktop (--headless): there is no
// icon; messages go to standard error.
class StderrNotifyArea : public NotifyArea
{
public:
    void ShowIcon(const std::string &) override { }
    void SetTip(const std::string &) override { }
    void HideIcon() override { }
    bool Available() const override { return false; }
    void ShowMessage(const std::string &title, const std::string &text) override
    {
        WriteMessageLine(title, text);
    }
};

} // namespace pellwick
