#include "platform/durable_file.h"

namespace pellwick {

void RemoveStaleTemporaries(const std::filesystem::path &target)
{
    const auto prefix = (target.filename() += ".tmp").native();
    const std::filesystem::path folder = target.parent_path();
    std::error_code error;
    for (std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error), end;
         !error && entry != end; entry.increment(error)) {
        if (entry->path().filename().native().starts_with(prefix)) {
            std::error_code ignored;
            std::filesystem::remove(entry->path(), ignored);
        }
    }
}

} // namespace pellwick
