#include "core/settings/hive_document.h"

#include "core/text/text.h"

#include <algorithm>
#include <utility>

namespace pellwick {

namespace {

// Where the path's first `count` components end, or npos when it has fewer.
std::size_t prefixEnd(std::string_view path, std::size_t count)
{
    std::size_t from = 0;
    for (std::size_t i = 1;; ++i) {
        const std::size_t end = path.find('\\', from);
        if (i == count)
            return end == std::string_view::npos ? path.size() : end;
        if (end == std::string_view::npos)
            return std::string_view::npos;
        from = end + 1;
    }
}

} // namespace

bool SameName(std::string_view a, std::string_view b)
{
    return EqualsIgnoringAsciiCase(a, b);
}

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

bool HiveDocument::KeyExists(std::string_view path) const
{
    return std::any_of(m_sections.begin(), m_sections.end(), [path](const HiveSection &s) {
        const std::string_view own = s.path;
        return SameName(own, path)
               || (own.size() > path.size() && own[path.size()] == '\\'
                   && SameName(own.substr(0, path.size()), path));
    });
}

const HiveSection *HiveDocument::FindSection(std::string_view path) const
{
    const auto found
        = std::find_if(m_sections.begin(), m_sections.end(),
                       [path](const HiveSection &s) { return SameName(s.path, path); });
    return found == m_sections.end() ? nullptr : &*found;
}

HiveSection *HiveDocument::findSection(std::string_view path)
{
    return const_cast<HiveSection *>(std::as_const(*this).FindSection(path));
}

const HiveValue *HiveDocument::FindValue(std::string_view path, std::string_view name) const
{
    const HiveSection *s = FindSection(path);
    if (!s)
        return nullptr;
    const auto found = std::find_if(s->values.begin(), s->values.end(),
                                    [name](const HiveValue &v) { return SameName(v.name, name); });
    return found == s->values.end() ? nullptr : &*found;
}

std::string HiveDocument::respell(std::string_view path) const
{
    std::string spelled(path);
    for (std::size_t count = 1;; ++count) {
        const std::size_t end = prefixEnd(path, count);
        if (end == std::string_view::npos)
            return spelled;
        for (const HiveSection &s : m_sections) {
            const std::string_view own = s.path;
            if (own.size() >= end && (own.size() == end || own[end] == '\\')
                && SameName(own.substr(0, end), path.substr(0, end))) {
                // Earlier components already agree, so only this one's spelling is new.
                std::copy(own.begin(), own.begin() + static_cast<std::ptrdiff_t>(end),
                          spelled.begin());
                break;
            }
        }
    }
}

HiveSection &HiveDocument::section(std::string_view path)
{
    if (HiveSection *s = findSection(path))
        return *s;
    m_sections.push_back(HiveSection {respell(path), {}});
    return m_sections.back();
}

bool HiveDocument::CreateKey(std::string_view path)
{
    if (KeyExists(path))
        return false;
    section(path);
    return true;
}

bool HiveDocument::SetValue(std::string_view path, std::string_view name, std::uint32_t type,
                            std::string_view data)
{
    HiveSection &s = section(path);
    for (HiveValue &v : s.values) {
        if (SameName(v.name, name)) {
            if (v.type == type && v.data == data)
                return false;
            v.type = type;
            v.data = data;
            return true;
        }
    }
    s.values.push_back(HiveValue {std::string(name), type, std::string(data)});
    return true;
}

bool HiveDocument::DeleteValue(std::string_view path, std::string_view name)
{
    HiveSection *s = findSection(path);
    if (!s)
        return false;
    const auto found = std::find_if(s->values.begin(), s->values.end(),
                                    [name](const HiveValue &v) { return SameName(v.name, name); });
    if (found == s->values.end())
        return false;
    s->values.erase(found);
    return true;
}

} // namespace pellwick
