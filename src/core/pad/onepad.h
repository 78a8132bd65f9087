// One pad per display: the names under which the running pad answers a second
// start (a unique name on the session bus, or a local socket), and the
// keyboard language a command line names.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace umbrill {

// The display a pad shows on, as a key: the X display where there is one
// (":0.0" and ":0" are the same display), else the Wayland one, else "none".
// A pad on another display is another pad: it could not show here.
std::string displayKey(std::string_view x11Display, std::string_view waylandDisplay);

// The pad's unique name on the session bus for that display, such as
// "org.example.Umbrill.d_3a0" for ":0": every byte other than a letter or a
// digit written as "_" and two hex digits, so the name is always valid.
std::string padBusName(std::string_view displayKey);
// The file name of the local socket for that display, in the same spelling
// ("umbrill-_3a0.socket"), for a folder of the user's own.
std::string padSocketName(std::string_view displayKey);

// The position in names of the language wanted names: the same name, or
// else the one name that differs only in the case of ASCII letters ("french"
// for "French"). nullopt when there is none, or more than one of the latter.
std::optional<std::size_t> findLanguageName(const std::vector<std::string> &names, std::string_view wanted);

} // namespace umbrill
