// The settings window comes here.
namespace pellwick {
}
