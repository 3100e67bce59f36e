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
#include <string>

static std::wstring sortie, erreurs;   // empty when not redirected

static void Ranger()
{
    fclose(stdout);
    fclose(stderr);
    for (const std::wstring* chemin : {&sortie, &erreurs}) {
        WIN32_FILE_ATTRIBUTE_DATA a;
        if (!chemin->empty() && GetFileAttributesExW(chemin->c_str(), GetFileExInfoStandard, &a)
            && a.nFileSizeLow == 0 && a.nFileSizeHigh == 0)
            DeleteFileW(chemin->c_str());
    }
}

void DefautsSDL()
{
    const char* choix = getenv("SDL_STDIO_REDIRECT");
    if (choix && atoi(choix) == 0)
        return;
    std::wstring dossier(32768, L'\0');   // the longest path Windows has
    DWORD n = GetModuleFileNameW(nullptr, &dossier[0], DWORD(dossier.size()));
    dossier.resize(n);
    dossier.resize(dossier.find_last_of(L'\\') == std::wstring::npos ? 0 : dossier.find_last_of(L'\\') + 1);
    sortie = dossier + L"stdout.txt";
    erreurs = dossier + L"stderr.txt";
    _wfreopen(sortie.c_str(), L"w", stdout);
    _wfreopen(erreurs.c_str(), L"w", stderr);
    setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
    setbuf(stderr, nullptr);
    atexit(Ranger);
}
