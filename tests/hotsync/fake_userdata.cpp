// A USERDATA.DLL of the tests' own for the Windows build: two users, and an empty answer to each
// first question for a name, as Palm's library gives while it is still reading its files.
#include <windows.h>

#include <cstring>

namespace {
struct User {
    DWORD id;
    const char* name; // CP932
    const char* folder;
};
const User kUsers[] = {{5, "Library", "LibDir"}, {300, "\x8E\x52\x93\x63", "Yamada"}};
bool g_askedBefore[2] = {false, false};

long copyText(DWORD id, char* buffer, short* size, bool name) {
    for (int i = 0; i < 2; ++i) {
        if (kUsers[i].id != id) continue;
        if (name && !g_askedBefore[i]) {
            g_askedBefore[i] = true;
            buffer[0] = '\0';
            return 0;
        }
        const char* text = name ? kUsers[i].name : kUsers[i].folder;
        std::strncpy(buffer, text, static_cast<size_t>(*size));
        *size = static_cast<short>(std::strlen(text));
        return 0;
    }
    return -1;
}
} // namespace

extern "C" {
__declspec(dllexport) short WINAPI UmGetUserCount() {
    return 2;
}
__declspec(dllexport) long WINAPI UmGetUserID(short index, DWORD* id) {
    if (index < 0 || index > 1) return -1;
    *id = kUsers[index].id;
    return 0;
}
__declspec(dllexport) long WINAPI UmGetUserName(DWORD id, char* buffer, short* size) {
    return copyText(id, buffer, size, true);
}
__declspec(dllexport) long WINAPI UmGetUserDirectory(DWORD id, char* buffer, short* size) {
    return copyText(id, buffer, size, false);
}
}
