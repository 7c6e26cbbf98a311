#pragma once
// The system clipboard, as text. Texts are UTF-8; the controls convert
// their code page 949 texts at this border.
//
// While SDL's video is not running (tests, headless tools) the clipboard is
// one text kept in the process, so that copy and paste still meet.

#include <string>
#include <string_view>

namespace tovrik::platform {

// False when the system refused the text (it is then kept in the process).
bool SetClipboardText(std::string_view utf8);
// The clipboard's text; empty when it holds none.
std::string GetClipboardText();

}  // namespace tovrik::platform
