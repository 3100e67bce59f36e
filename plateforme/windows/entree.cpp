// What SDL 1.2's own entry (SDLmain) does on Windows before the game starts, in its
// place: what the game prints goes to stdout.txt and stderr.txt beside gavremo.exe,
// unless SDL_STDIO_REDIRECT reads as 0, and a file left empty is removed at the end.
// SDLmain names the files through the ANSI calls, which cannot spell a folder outside
// the system's code page (a Cyrillic folder on a Western Windows): it then opens
// neither and the game's lines, errors included, are lost. The wide calls can.
#include "partie.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <initializer_list>

const DWORD CHEMIN_MAX = 32768;   // the longest path Windows has, in wide characters
static wchar_t sortie[CHEMIN_MAX], erreurs[CHEMIN_MAX];   // empty when not redirected

static void Ranger()
{
    fclose(stdout);
    fclose(stderr);
    for (const wchar_t* chemin : {sortie, erreurs}) {
        WIN32_FILE_ATTRIBUTE_DATA a;
        if (GetFileAttributesExW(chemin, GetFileExInfoStandard, &a) && a.nFileSizeLow == 0 && a.nFileSizeHigh == 0)
            DeleteFileW(chemin);
    }
}

// Windows merges the motions waiting for a window itself, into the newest position.
void FenetreSDL()
{
}

void DefautsSDL()
{
    const char* choix = getenv("SDL_STDIO_REDIRECT");
    if (choix && atoi(choix) == 0)
        return;
    const size_t NOM = wcslen(L"stdout.txt");
    DWORD n = GetModuleFileNameW(nullptr, sortie, CHEMIN_MAX - NOM);
    if (n == 0 || n >= CHEMIN_MAX - NOM)
        return;
    while (n > 0 && sortie[n - 1] != L'\\')
        --n;
    sortie[n] = L'\0';
    wcscpy(erreurs, sortie);
    wcscat(sortie, L"stdout.txt");
    wcscat(erreurs, L"stderr.txt");
    _wfreopen(sortie, L"w", stdout);
    _wfreopen(erreurs, L"w", stderr);
    setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    setbuf(stderr, nullptr);
    atexit(Ranger);
}
