#pragma once
// Services of the desktop that the system's lower layers call but that only
// the application layer can provide. Each is a process-wide hook with a
// default that works without a display; the application object installs the
// real ones at start-up. Passing an empty function restores the default.
#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// A plain message box with an OK button; Text is UTF-8. Default: the text on
// stderr, one line.
void SetMessageBoxHook(std::function<void(const std::string& Text)> Hook);
void ShowMessageBox(const std::string& Text);

// Let the user interface handle pending messages (long file copies call this
// between blocks so the window stays responsive). Default: nothing.
void SetProcessMessagesHook(std::function<void()> Hook);
void ProcessMessages();

// Register a named clipboard format and answer its identifier; the same name
// answers the same identifier. Default: DefaultClipboardFormat for every name.
inline constexpr std::uint32_t DefaultClipboardFormat = 0xC000;
void SetRegisterClipboardFormatHook(std::function<std::uint32_t(const std::string& Name)> Hook);
std::uint32_t RegisterClipboardFormat(const std::string& Name);

}  // namespace platform
