#pragma once

namespace pellwick {

// Lets a window program print: it has no console of its own, so stdout and
// stderr go to the handles it was started with (a pipe, a file) and, where it
// was given none, to the console of the program that started it, if any.
// False when the output can go nowhere.
bool ConnectStandardStreams();

} // namespace pellwick
