#include "core/settings/hive_document.h"

#include "core/text/text.h"

#include <algorithm>
#include <utility>

namespace pellwick {

namespace {

// The value of that name in the section, or its end.
auto valueIn(std::vector<HiveValue> &values, std::string_view name)
{
    return std::find_if(values.begin(), values.end(), [name](const HiveValue &v) {
        return EqualsIgnoringAsciiCase(v.name, name);
    });
}

} // namespace

HiveDocument::HiveDocument(std::vector<HiveSection> sections)
    : m_sections(std::move(sections))
{
}

std::string FoldedName(std::string_view name)
{
    std::string result(name);
    std::transform(result.begin(), result.end(), result.begin(), AsciiLower);
    return result;
}

HiveSection *HiveDocument::findSection(std::string_view path) const
{
    for (const HiveSection &s : m_sections) {
        if (EqualsIgnoringAsciiCase(s.path, path))
            return const_cast<HiveSection *>(&s);
    }
    return nullptr;
}

const HiveValue *HiveDocument::FindValue(std::string_view path, std::string_view name) const
{
    HiveSection *s = findSection(path);
    if (!s)
        return nullptr;
    const auto found = valueIn(s->values, name);
    return found == s->values.end() ? nullptr : &*found;
}

std::string HiveDocument::respell(std::string_view path) const
{
    std::string spelled(path);
    // Each leading part of the path takes the spelling of the first key that has it.
    for (std::size_t end = 0; end < path.size();) {
        end = std::min(path.find('\\', end + 1), path.size());
        const auto same = std::find_if(m_sections.begin(), m_sections.end(), [&](const auto &s) {
            return s.path.size() >= end && (s.path.size() == end || s.path[end] == '\\')
                   && EqualsIgnoringAsciiCase(std::string_view(s.path).substr(0, end),
                                              path.substr(0, end));
        });
        if (same != m_sections.end())
            std::copy_n(same->path.begin(), end, spelled.begin());
    }
    return spelled;
}

bool HiveDocument::SetValue(std::string_view path, std::string_view name, std::uint32_t type,
                            std::string_view data)
{
    HiveSection *s = findSection(path);
    if (!s)
        s = &m_sections.emplace_back(HiveSection {respell(path), {}});
    const auto found = valueIn(s->values, name);
    if (found == s->values.end()) {
        s->values.push_back(HiveValue {std::string(name), type, std::string(data)});
        return true;
    }
    if (found->type == type && found->data == data)
        return false;
    found->type = type;
    found->data = data;
    return true;
}

bool HiveDocument::DeleteValue(std::string_view path, std::string_view name)
{
    HiveSection *s = findSection(path);
    if (!s)
        return false;
    const auto found = valueIn(s->values, name);
    if (found == s->values.end())
        return false;
    s->values.erase(found);
    return true;
}

} // namespace pellwick
