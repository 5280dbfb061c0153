#include "Platform/Core/Hooks.h"

#include <cstdio>
#include <utility>

namespace platform {
namespace {

std::function<void(const std::string&)>& MessageBoxHook() {
  static std::function<void(const std::string&)> Hook;
  return Hook;
}

std::function<void()>& ProcessMessagesHook() {
  static std::function<void()> Hook;
  return Hook;
}

std::function<std::uint32_t(const std::string&)>& ClipboardFormatHook() {
  static std::function<std::uint32_t(const std::string&)> Hook;
  return Hook;
}

}  // namespace

void SetMessageBoxHook(std::function<void(const std::string&)> Hook) {
  MessageBoxHook() = std::move(Hook);
}

void ShowMessageBox(const std::string& Text) {
  if (MessageBoxHook()) {
    MessageBoxHook()(Text);
    return;
  }
  std::fprintf(stderr, "%s\n", Text.c_str());
  std::fflush(stderr);
}

void SetProcessMessagesHook(std::function<void()> Hook) { ProcessMessagesHook() = std::move(Hook); }

void ProcessMessages() {
  if (ProcessMessagesHook()) ProcessMessagesHook()();
}

void SetRegisterClipboardFormatHook(std::function<std::uint32_t(const std::string&)> Hook) {
  ClipboardFormatHook() = std::move(Hook);
}

std::uint32_t RegisterClipboardFormat(const std::string& Name) {
  if (ClipboardFormatHook()) return ClipboardFormatHook()(Name);
  return DefaultClipboardFormat;
}

}  // namespace platform
