#include "platform/windows/notice.h"

#include <windows.h>

#include <array>
#include <cstdio>

namespace {
constexpr const char *CAPTION = "ZULT-MIRAX";
}

void Notice_Show(const char *headline, const char *why, bool error) {
    std::array<char, 512> text{};
    std::snprintf(text.data(), text.size(), "%s\n\n%s", headline,
                  why != nullptr && *why != '\0' ? why : "(no reason given)");
    std::fprintf(stderr, "zultmirax: %s: %s\n", headline, why != nullptr ? why : "");
    std::fflush(stderr);
    OutputDebugStringA(text.data());
    const UINT icon = error ? MB_ICONERROR : MB_ICONWARNING;
    MessageBoxA(nullptr, text.data(), CAPTION, MB_OK | icon | MB_SETFOREGROUND | MB_TOPMOST);
}
