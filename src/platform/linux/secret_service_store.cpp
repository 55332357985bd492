#include "platform/password_store.h"

#include <libsecret/secret.h>

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

// Takes the GError's message and frees it.
std::string takeMessage(GError *error)
{
    std::string message = error->message ? error->message : "unknown error";
    g_error_free(error);
    return "secret store: " + message;
}

class SecretServiceStore : public PasswordStore
{
public:
    PasswordLookup Lookup(const std::string &server, const std::string &user) override
    {
        GError *error = nullptr;
        gchar *found = secret_password_lookup_sync(&schema(), nullptr, &error, "server",
                                                   server.c_str(), "user", user.c_str(), nullptr);
        if (error)
            return {std::nullopt, takeMessage(error)};
        if (!found)
            return {std::nullopt, {}};
        PasswordLookup result {std::string(found), {}};
        // Wipes the copy libsecret made.
        secret_password_free(found);
        return result;
    }

    std::string Store(const std::string &server, const std::string &user,
                      const std::string &password) override
    {
        GError *error = nullptr;
        const std::string label = "Pellwick mail password for " + user + " at " + server;
        secret_password_store_sync(&schema(), SECRET_COLLECTION_DEFAULT, label.c_str(),
                                   password.c_str(), nullptr, &error, "server", server.c_str(),
                                   "user", user.c_str(), nullptr);
        return error ? takeMessage(error) : std::string();
    }
};

} // namespace

std::unique_ptr<PasswordStore> MakePasswordStore()
{
    return std::make_unique<SecretServiceStore>();
}

} // namespace pellwick
