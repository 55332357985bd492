#pragma once

#include <cstdint>
#include <string>

namespace pellwick {

class Registry;

// The four submission values stored beside the nineteen settings, in the same
// key: "SMTPPort" (REG_DWORD, 25), "SMTPSecurity" (REG_DWORD, 0), "SMTPUser"
// (REG_SZ, empty) and "SMTPPin" (REG_SZ, empty). The password is never here.
struct SubmissionSettings
{
    std::int32_t port = 25;
    std::int32_t security = 0;
    std::string user;
    std::string pin;
};

// Reads the four values, each falling back to its default; writes nothing.
SubmissionSettings LoadSubmissionSettings(Registry &registry);
// Writes the four values with their types; refused writes are lost like the
// nineteen settings' are.
void SaveSubmissionSettings(Registry &registry, const SubmissionSettings &settings);

} // namespace pellwick
