// Texts from devices, the module or the user, made safe to print on a
// terminal. Cameras on a network are not trusted: a vendor text that holds an
// escape sequence must show as characters, never change the terminal.
#pragma once

#include <string>
#include <string_view>

// The UTF-8 text with every control character escaped: C0 and DEL as \xNN
// (ESC as \x1b, a tab as \x09), C1 (U+0080 to U+009F) as \u0080 to \u009f.
// Everything else, the backslash included, stays as it is.
std::string terminalSafe(std::string_view text);

// The text in double quotes, safe as above, with '"' and '\' escaped too:
// "Acme \"Optics\"".
std::string quotedText(std::string_view text);

// JSON text with DEL and C1 escaped as \u007f and \u0080 to \u009f; the JSON
// writer escapes C0 itself, and such characters stand only inside strings.
std::string jsonTerminalSafe(std::string_view json);
