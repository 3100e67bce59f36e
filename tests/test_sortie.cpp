// The real game, run as a child process on broken set-ups: what it prints,
// where, and how it ends.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <ctime>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "enfant.h"

namespace {

struct Issue {
    int statut = -1;    // exit status, or -1 when a signal ended it
    int signal = 0;
    std::string sortie, erreurs;
};

std::string Lire(const std::string& chemin)
{
    std::ifstream f(chemin, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// Runs the game in `dossier` with the dummy drivers and `env` on top. Once its
// standard error shows `signe`, or `delai` µs after its start, it is sent SIGTERM, as
// a desktop session ending would; one that does not end within 20 s is killed.
Issue Lancer(const std::string& dossier, std::vector<std::string> env, const std::string& signe = "",
             long delai = -1)
{
    std::string sortie = dossier + "/.sortie", erreurs = dossier + "/.erreurs";
    pid_t pid = Engendrer();
    if (pid == 0) {
        setenv("SDL_VIDEODRIVER", "dummy", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        for (auto& e : env)
            putenv(const_cast<char*>(e.c_str()));
        if (chdir(dossier.c_str()) != 0 || !freopen(sortie.c_str(), "w", stdout)
            || !freopen(erreurs.c_str(), "w", stderr))
            _exit(99);
        execl(GAVREMO, GAVREMO, (char*)nullptr);
        _exit(98);
    }
    int etat = 0;
    bool signale = delai >= 0;
    if (signale) {
        usleep(useconds_t(delai));
        kill(pid, SIGTERM);
    }
    for (int n = 0; waitpid(pid, &etat, WNOHANG) == 0; ++n) {
        if (!signale && !signe.empty() && Lire(erreurs).find(signe) != std::string::npos) {
            kill(pid, SIGTERM);
            signale = true;
        }
        if (n == 2000)
            kill(pid, SIGKILL);
        usleep(10000);
    }
    Issue r;
    if (WIFEXITED(etat))
        r.statut = WEXITSTATUS(etat);
    else
        r.signal = WTERMSIG(etat);
    r.sortie = Lire(sortie);
    r.erreurs = Lire(erreurs);
    return r;
}

// A fresh copy of the game's files, to spoil one of them.
std::string Copie()
{
    char modele[] = "/tmp/gavremo_casXXXXXX";
    std::string dossier = mkdtemp(modele);
    std::string cmd = "cp -r " PROJET "/rsrc_img " PROJET "/font " PROJET "/son " + dossier;
    EXPECT_EQ(system(cmd.c_str()), 0);
    return dossier;
}

int Lignes(const std::string& s) { return int(std::count(s.begin(), s.end(), '\n')); }

} // namespace

TEST(Sortie, EchecsDuDemarrage)
{
    std::string dossier = Copie();

    Issue r = Lancer(dossier, {"SDL_VIDEODRIVER=nulle"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie.rfind("Unable to init SDL: ", 0), 0u) << r.sortie;
    EXPECT_EQ(Lignes(r.sortie), 1);
    EXPECT_EQ(r.erreurs, "");

    r = Lancer(dossier, {"LD_PRELOAD=" FAUX_SDL, "GAVREMO_FAUX=mode"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, "Incapable d'ouvrir une fenetre: mode refused, icon already set\n");
    EXPECT_EQ(r.erreurs, "");

    r = Lancer(dossier, {"LD_PRELOAD=" FAUX_SDL, "GAVREMO_FAUX=ttf"});
    EXPECT_EQ(r.statut, 1);
    EXPECT_EQ(r.sortie, "");
    EXPECT_EQ(r.erreurs, "Erreur de Font: no text today \n");

    std::filesystem::remove_all(dossier);
}

TEST(Sortie, FichiersAbimes)
{
    const char* fichiers[] = {"rsrc_img/curseur.bmp", "rsrc_img/terrain.jpg", "rsrc_img/target.jpg",
                              "rsrc_img/curseur.gif", "font/MorrisRomanBlack.ttf"};
    // Each way of spoiling a file, as a shell command on $f.
    const char* degats[] = {"rm $f", ": > $f", "echo 'pas une image' > $f", "mkdir -p $f.d && rm $f && mv $f.d $f",
                            "head -c $(($(stat -c %s $f) / 2)) $f > $f.t && mv $f.t $f"};
    for (const char* f : fichiers)
        for (const char* d : degats) {
            std::string dossier = Copie();
            std::string cmd = "cd " + dossier + " && f=" + f + " && " + d;
            ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
            Issue r = Lancer(dossier, {});
            SCOPED_TRACE(std::string(f) + " / " + d);
            EXPECT_EQ(r.signal, 0);
            EXPECT_EQ(r.statut, 1);
            EXPECT_EQ(Lignes(r.erreurs), 1) << r.erreurs;
            EXPECT_NE(r.erreurs.find(f), std::string::npos) << r.erreurs;
            EXPECT_EQ(r.sortie.find("Exited cleanly"), std::string::npos);
            std::filesystem::remove_all(dossier);
        }
}

// Damaged GIFs that SDL_image's own reader hung on (a sub-block running past the
// end), crashed on (a frame far wider than the screen) or drew all the same (a frame a
// little wider than the screen, a record of no known kind): each is refused with the
// file named, and nothing hangs.
TEST(Sortie, GifAbimesRefuses)
{
    // Byte offset and new bytes, in the game's own 32 x 32 sprite.
    const std::vector<std::pair<int, std::string>> degats = {
        {26, "\\377"}, {32, "\\377\\377"}, {32, "\\100"}, {20, "\\0\\0"}};
    for (auto& [ou, octets] : degats) {
        std::string dossier = Copie();
        std::string cmd = "printf '" + octets + "' | dd of=" + dossier + "/rsrc_img/curseur.gif bs=1 seek="
            + std::to_string(ou) + " conv=notrunc status=none";
        ASSERT_EQ(system(cmd.c_str()), 0) << cmd;
        Issue r = Lancer(dossier, {});
        SCOPED_TRACE(cmd);
        EXPECT_EQ(r.signal, 0);
        EXPECT_EQ(r.statut, 1);
        EXPECT_EQ(Lignes(r.erreurs), 1) << r.erreurs;
        EXPECT_EQ(r.erreurs.rfind("Incapable de charger rsrc_img/curseur.gif: ", 0), 0u) << r.erreurs;
        std::filesystem::remove_all(dossier);
    }
}

TEST(Sortie, CibleTropGrande)
{
    std::string dossier = Copie();
    ASSERT_EQ(system(("convert -size 200x101 xc:white " + dossier + "/rsrc_img/target.jpg").c_str()), 0);
    Issue r = Lancer(dossier, {});
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreurs.find("rsrc_img/target.jpg"), std::string::npos) << r.erreurs;
    EXPECT_EQ(Lignes(r.erreurs), 1);
    std::filesystem::remove_all(dossier);
}

TEST(Sortie, SansSonLaPartieContinue)
{
    std::string dossier = Copie();
    ASSERT_EQ(system(("echo bruit > " + dossier + "/son/pan.wav").c_str()), 0);
    Issue r = Lancer(dossier, {}, "la partie sera muette");
    EXPECT_EQ(r.signal, 0);
    // Stopped mid-game: a window closed during play ends with status 1.
    EXPECT_EQ(r.statut, 1);
    EXPECT_NE(r.erreurs.find("son/pan.wav"), std::string::npos) << r.erreurs;
    std::filesystem::remove_all(dossier);
}

// SIGTERM at any moment from the start-up to the game-over screen: the game always
// ends, in play with status 1, on the game-over screen cleanly with 0, or, sent
// before the game has started at all, by the signal itself. The preloaded clock runs
// fifty times fast, so that the first escape ends the game some 60 ms into play;
// the moments are spread over twice the time the game-over screen takes to show.
TEST(Sortie, AucunSigtermPerdu)
{
    std::string dossier = Copie();
    const std::vector<std::string> vite = {"LD_PRELOAD=" FAUX_SDL, "GAVREMO_FAUX=vite"};
    timespec t0, t1;
    clock_gettime(CLOCK_MONOTONIC, &t0);
    Issue r = Lancer(dossier, vite, "perdu");
    clock_gettime(CLOCK_MONOTONIC, &t1);
    ASSERT_EQ(r.statut, 0) << "signal " << r.signal << ": " << r.erreurs;
    long fin = (t1.tv_sec - t0.tv_sec) * 1000000 + (t1.tv_nsec - t0.tv_nsec) / 1000;

    std::mt19937 hasard(49);
    std::uniform_int_distribution<long> moment(0, 2 * fin);
    int en_jeu = 0, perdu = 0;
    for (int n = 0; n < 200; ++n) {
        long delai = moment(hasard);
        r = Lancer(dossier, vite, "", delai);
        SCOPED_TRACE("SIGTERM " + std::to_string(delai) + " µs after the start");
        bool propre = r.sortie == "Exited cleanly\n";
        if (r.statut == 1 && r.sortie.empty())
            ++en_jeu;
        else if (r.statut == 0 && propre)
            ++perdu;
        else
            ASSERT_EQ(r.signal, SIGTERM) << "status " << r.statut << ": " << r.sortie << r.erreurs;
    }
    EXPECT_GT(en_jeu, 0);
    EXPECT_GT(perdu, 0);
    std::filesystem::remove_all(dossier);
}
