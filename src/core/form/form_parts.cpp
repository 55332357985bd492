#include "core/form/form_parts.h"

#include <utility>

namespace pellwick {

FormParts JoinFormParts(MachineParts machine, const ShellParts &shell)
{
    return FormParts {std::move(machine), shell};
}

} // namespace pellwick
