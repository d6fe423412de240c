// Texts from devices, the module or the user, made safe to print on a
// terminal. Cameras on a network are not trusted: a vendor text that holds an
// escape sequence must show as characters, never change the terminal.
#pragma once

#include <string>
#include <string_view>

// The UTF-8 text with every character escaped that changes how a terminal
// shows text: C0 and DEL as \xNN (ESC as \x1b, a tab as \x09); C1 (U+0080 to
// U+009F) and the bidirectional and format characters (U+202E, U+200B to
// U+200F, U+2066 to U+2069, U+FEFF and their kin) as \u0080, \u202e.
// Everything else, the backslash included, stays as it is.
std::string terminalSafe(std::string_view text);

// The text in double quotes, safe as above, with '"' and '\' escaped too:
// "Acme \"Optics\"".
std::string quotedText(std::string_view text);

// JSON text with DEL, C1 and the bidirectional and format characters escaped
// the JSON way (\u007f, \u009b, \u202e); the JSON writer escapes C0 itself,
// and such characters stand only inside strings.
std::string jsonTerminalSafe(std::string_view json);

// The length of the well-formed UTF-8 sequence at text[i], and the character
// it encodes in c; 0 for a byte that starts none.
size_t decodeUtf8(std::string_view text, size_t i, char32_t* c);
