// SPDX-License-Identifier: MIT
#include "platform/platform.h"

#include <libsecret/secret.h>

#include <dlfcn.h>

#include <optional>
#include <string>

namespace pellwick {

namespace {

// The passwords this program keeps, found by server and user name.
const SecretSchema &schema()
{
    static const SecretSchema kSchema = [] {
        SecretSchema s {};
        s.name = "org.pellwick.SmtpPassword";
        s.flags = SECRET_SCHEMA_NONE;
        s.attributes[0] = {"server", SECRET_SCHEMA_ATTRIBUTE_STRING};
        s.attributes[1] = {"user", SECRET_SCHEMA_ATTRIBUTE_STRING};
        return s;
    }();
    return kSchema;
}

// libsecret and what it pulls in (GIO, GObject, ...) are loaded when a
// password is first looked up or stored: most runs need none, and loading
// them cost every start several milliseconds.
struct SecretLibrary
{
    decltype(&secret_password_lookup_sync) lookup = nullptr;
    decltype(&secret_password_store_sync) store = nullptr;
    decltype(&secret_password_free) free = nullptr;
    decltype(&g_error_free) freeError = nullptr;
    std::string problem;
};

template<typename Function>
bool resolve(void *library, const char *name, Function &function)
{
    // POSIX guarantees that a function's address survives the trip through void *.
    function = reinterpret_cast<Function>(dlsym(library, name));
    return function != nullptr;
}

SecretLibrary loadSecretLibrary()
{
    SecretLibrary loaded;
    void *library = dlopen("libsecret-1.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        loaded.problem = "secret store: libsecret is not installed";
        return loaded;
    }
    if (!resolve(library, "secret_password_lookup_sync", loaded.lookup)
        || !resolve(library, "secret_password_store_sync", loaded.store)
        || !resolve(library, "secret_password_free", loaded.free)
        || !resolve(library, "g_error_free", loaded.freeError))
        loaded.problem = "secret store: libsecret lacks a function it should have";
    return loaded;
}

class SecretServiceStore : public PasswordStore
{
public:
    PasswordLookup Lookup(const std::string &server, const std::string &user) override
    {
        const SecretLibrary &secret = library();
        if (!secret.problem.empty())
            return {std::nullopt, secret.problem};
        GError *error = nullptr;
        gchar *found = secret.lookup(&schema(), nullptr, &error, "server", server.c_str(), "user",
                                     user.c_str(), nullptr);
        if (error)
            return {std::nullopt, takeMessage(error)};
        if (!found)
            return {std::nullopt, {}};
        PasswordLookup result {std::string(found), {}};
        // Wipes the copy libsecret made.
        secret.free(found);
        return result;
    }

    std::string Store(const std::string &server, const std::string &user,
                      const std::string &password) override
    {
        const SecretLibrary &secret = library();
        if (!secret.problem.empty())
            return secret.problem;
        GError *error = nullptr;
        const std::string label = "Pellwick mail password for " + user + " at " + server;
        secret.store(&schema(), SECRET_COLLECTION_DEFAULT, label.c_str(), password.c_str(), nullptr,
                     &error, "server", server.c_str(), "user", user.c_str(), nullptr);
        return error ? takeMessage(error) : std::string();
    }

private:
    const SecretLibrary &library()
    {
        if (!m_library)
            m_library = loadSecretLibrary();
        return *m_library;
    }

    std::string takeMessage(GError *error)
    {
        std::string message = error->message ? error->message : "unknown error";
        m_library->freeError(error);
        return "secret store: " + message;
    }

    std::optional<SecretLibrary> m_library;
};

} // namespace

std::unique_ptr<PasswordStore> MakePasswordStore()
{
    return std::make_unique<SecretServiceStore>();
}

} // namespace pellwick
